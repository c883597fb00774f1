#include "core/list/TextLimits.h"

#include "core/list/ListFile.h"
#include "core/text/SjisCodec.h"

namespace replidex {

TextFit FitSjisText(std::string_view utf8, std::size_t limit, std::string& out)
{
    std::string sjis;
    if (!Utf8ToCp932(utf8, sjis)) {
        out.clear();
        return TextFit::NotSjis;
    }
    if (sjis.size() <= limit) {
        out = std::move(sjis);
        return TextFit::Fits;
    }
    out = std::string(CutSjisText(sjis, limit));
    return TextFit::Cut;
}

std::string MemoFromEditor(std::string_view text)
{
    std::string memo;
    memo.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) memo += '\r';
        memo += text[i];
    }
    return memo;
}

std::string MemoForEditor(std::string_view memo)
{
    std::string text;
    text.reserve(memo.size());
    for (std::size_t i = 0; i < memo.size(); ++i) {
        if (memo[i] == '\r' && i + 1 < memo.size() && memo[i + 1] == '\n') continue;
        text += memo[i];
    }
    return text;
}

std::string MemoFitMessage(TextFit fit)
{
    switch (fit) {
    case TextFit::Cut:
        return Sjis("メモが1023バイトを超えたため、超えた部分を切り捨てました。");
    case TextFit::NotSjis:
        return Sjis("メモにShift-JISで保存できない文字が含まれています。\nその文字を取り除いてください。");
    default:
        return {};
    }
}

std::string FolderNameFitMessage(TextFit fit)
{
    switch (fit) {
    case TextFit::Cut:
        return Sjis("フォルダ名が255バイトを超えたため、超えた部分を切り捨てました。");
    case TextFit::NotSjis:
        return Sjis("フォルダ名にShift-JISで保存できない文字が含まれています。\n名前は変更されませんでした。");
    default:
        return {};
    }
}

}  // namespace replidex
