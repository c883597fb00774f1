// The message boxes, driven for real: keys go to the shown QMessageBox.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "GuiTestSupport.h"
#include "core/text/SjisCodec.h"
#include "gui/dialogs/MessageBoxes.h"

namespace replidex {
namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Runs `show` while a timer waits for the box, notes what it shows and then
// does `act` to it.
int DriveBox(const std::function<int()>& show, const std::function<void(QMessageBox*)>& act,
             SeenBox* seen = nullptr)
{
    QTimer poll;
    poll.setInterval(10);
    bool done = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || done || !box->isVisible()) return;
        done = true;
        if (seen) {
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->icon = box->icon();
            for (QAbstractButton* button : box->buttons()) seen->buttons << button->text();
            if (box->defaultButton()) seen->defaultButton = box->defaultButton()->text();
        }
        act(box);
    });
    poll.start();
    const int answer = show();
    poll.stop();
    EXPECT_TRUE(done) << "no message box was shown";
    return answer;
}

void Press(QMessageBox* box, Qt::Key key)
{
    QTest::keyClick(box, key);
}

struct KeyCase {
    const char* name;
    std::function<int()> show;
    Qt::Key key;   // Qt::Key_unknown: the title bar's close box
    int answer;
};

TEST(MessageBoxes, KeysAndCloseBoxGiveTheDocumentedAnswers)
{
    const std::string text = Sjis("テキスト");
    const std::vector<KeyCase> cases = {
        {"ask: Esc is Cancel", [&] { return AskYesNoCancel(text, kMsgWarning); }, Qt::Key_Escape, 2},
        {"ask: Enter is Yes", [&] { return AskYesNoCancel(text, kMsgWarning); }, Qt::Key_Return, 6},
        {"ask: close box is Cancel", [&] { return AskYesNoCancel(text, kMsgWarning); }, Qt::Key_unknown, 2},
        {"ask: Alt+N is No", [&] { return AskYesNoCancel(text, kMsgWarning); }, Qt::Key_N, 7},
        {"confirm: Esc is Cancel", [&] { return ConfirmBox(text, kMsgWarning); }, Qt::Key_Escape, 2},
        {"confirm: Enter is OK", [&] { return ConfirmBox(text, kMsgWarning); }, Qt::Key_Return, 1},
        {"confirm: close box is Cancel", [&] { return ConfirmBox(text, kMsgWarning); }, Qt::Key_unknown, 2},
        {"message: Esc is OK", [&] { return ShowMessageBox(text, kMsgWarning); }, Qt::Key_Escape, 1},
        {"message: Enter is OK", [&] { return ShowMessageBox(text, kMsgError); }, Qt::Key_Return, 1},
        {"message: close box is 2", [&] { return ShowMessageBox(text, kMsgWarning); }, Qt::Key_unknown, 2},
        {"notice: Esc is OK", [&] { return ShowNotice(text); }, Qt::Key_Escape, 1},
    };
    for (const KeyCase& c : cases) {
        const int answer = DriveBox(c.show, [&](QMessageBox* box) {
            if (c.key == Qt::Key_unknown) box->close();
            else if (c.key == Qt::Key_N) QTest::keyClick(box, Qt::Key_N, Qt::AltModifier);
            else Press(box, c.key);
        });
        EXPECT_EQ(answer, c.answer) << c.name;
    }
}

struct LookCase {
    int kind;
    const char* title;
    QMessageBox::Icon icon;
};

TEST(MessageBoxes, KindGivesTitleAndIcon)
{
    const std::vector<LookCase> cases = {
        {kMsgWarning, "警告", QMessageBox::Warning},
        {kMsgError, "エラー", QMessageBox::Critical},
        {kMsgInformation, "情報", QMessageBox::Information},
        {kMsgConfirmation, "確認", QMessageBox::Question},
    };
    for (const LookCase& c : cases) {
        SeenBox seen;
        DriveBox([&] { return ShowMessageBox(Sjis("一行目\n二行目"), c.kind); },
                 [](QMessageBox* box) { Press(box, Qt::Key_Escape); }, &seen);
        EXPECT_EQ(seen.title, QString::fromUtf8(c.title));
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.text, QStringLiteral("一行目\n二行目"));
        EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("OK")});
    }
}

TEST(MessageBoxes, ButtonsCaptionsAndDefaults)
{
    SeenBox ask;
    DriveBox([] { return AskYesNoCancel(Sjis("ファイルは変更されています。\n保存しますか？"), kMsgWarning); },
             [](QMessageBox* box) { Press(box, Qt::Key_Escape); }, &ask);
    EXPECT_EQ(ask.title, QStringLiteral("警告"));
    EXPECT_EQ(ask.text, QStringLiteral("ファイルは変更されています。\n保存しますか？"));
    EXPECT_TRUE(ask.buttons.contains(QStringLiteral("はい(&Y)")));
    EXPECT_TRUE(ask.buttons.contains(QStringLiteral("いいえ(&N)")));
    EXPECT_TRUE(ask.buttons.contains(QStringLiteral("キャンセル")));
    EXPECT_EQ(ask.buttons.size(), 3);
    EXPECT_EQ(ask.defaultButton, QStringLiteral("はい(&Y)"));

    SeenBox confirm;
    DriveBox([] { return ConfirmBox(Sjis("削除してもよろしいですか？"), kMsgWarning); },
             [](QMessageBox* box) { Press(box, Qt::Key_Escape); }, &confirm);
    EXPECT_EQ(confirm.buttons.size(), 2);
    EXPECT_TRUE(confirm.buttons.contains(QStringLiteral("キャンセル")));
    EXPECT_EQ(confirm.defaultButton, QStringLiteral("OK"));

    SeenBox notice;
    DriveBox([] { return ShowNotice(Sjis("外部ツールの起動に失敗しました")); },
             [](QMessageBox* box) { Press(box, Qt::Key_Return); }, &notice);
    EXPECT_EQ(notice.title, QStringLiteral("Replidex"));
    EXPECT_EQ(notice.icon, QMessageBox::NoIcon);
    EXPECT_EQ(notice.buttons, QStringList{QStringLiteral("OK")});
}

TEST(MessageBoxes, TextIsShownPlainAndBadBytesDoNotBreakIt)
{
    SeenBox seen;
    // Markup stays text; a stray lead byte shows as a replacement character.
    DriveBox([] { return ShowMessageBox(std::string("<b>x</b>\x81"), kMsgWarning); },
             [](QMessageBox* box) { Press(box, Qt::Key_Escape); }, &seen);
    EXPECT_TRUE(seen.text.startsWith(QStringLiteral("<b>x</b>")));
    EXPECT_EQ(seen.text.size(), 9);
}

TEST(MessageBoxes, NoticeWithDetailsKeepsOneItemALine)
{
    const QString details = QStringLiteral("REPLAY01.RPD <- /a/very/long/path/of/some/folder/a.rpd\n"
                                           "REPLAY03.RPD <- /a/very/long/path/of/some/folder/b.rpd");
    QString shownDetails;
    bool unwrapped = false;
    int editWidth = 0;
    const int answer = DriveBox([&] { return ShowNoticeText(QStringLiteral("転送完了！"), details); },
                                [&](QMessageBox* box) {
                                    shownDetails = box->detailedText();
                                    if (auto* edit = box->findChild<QTextEdit*>()) {
                                        unwrapped = edit->lineWrapMode() == QTextEdit::NoWrap;
                                        editWidth = edit->minimumWidth();
                                    }
                                    Press(box, Qt::Key_Return);
                                });
    EXPECT_EQ(answer, kAnswerOk);
    EXPECT_EQ(shownDetails, details);
    EXPECT_TRUE(unwrapped);
    EXPECT_GT(editWidth, 200);

    test::Responders responders;
    ShowNoticeText(QStringLiteral("転送完了！"), details);
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].kind, -1);
    EXPECT_EQ(responders.messages[0].details, details);
}

TEST(MessageBoxes, ResponderAnswersInsteadOfABox)
{
    test::Responders responders;
    responders.messageAnswers = {7};
    EXPECT_EQ(AskYesNoCancel(Sjis("質問"), kMsgConfirmation), 7);
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(responders.messages[0].title, QStringLiteral("確認"));
    EXPECT_EQ(responders.messages[0].text, QStringLiteral("質問"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace replidex
