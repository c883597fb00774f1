#include "gui/settings/JournalSettingsPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include <filesystem>

#include "core/file/NativeFiles.h"
#include "gui/journal/FolderChangeRun.h"

namespace replidex {

namespace {

std::uintmax_t FolderBytes(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::uintmax_t bytes = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(FsPath(folder), error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file(error)) bytes += it->file_size(error);
    return bytes;
}

}  // namespace

JournalSettingsPage::JournalSettingsPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TS_Journal"));
    auto* layout = new QVBoxLayout(this);
    CB_Preview = new QCheckBox(QStringLiteral("PuyoFフォルダ操作の前に確認画面を表示(&P)"), this);
    CB_Preview->setObjectName(QStringLiteral("CB_Preview"));
    layout->addWidget(CB_Preview);
    Keeps = new QLabel(QStringLiteral("保存する操作: 最新50件\n上書き前のファイル: 最大100 MB"), this);
    layout->addWidget(Keeps);
    Holds = new QLabel(this);
    Holds->setWordWrap(true);
    layout->addWidget(Holds);
    layout->addStretch(1);
}

void JournalSettingsPage::ShowCurrent()
{
    CB_Preview->setChecked(PreviewBeforeFolderChanges());
    const JournalStore journal = SharedJournal();
    const std::size_t count = journal.entries().size();
    const double megabytes = static_cast<double>(FolderBytes(journal.folder())) / (1024.0 * 1024.0);
    Holds->setText(QStringLiteral("現在: %1件、%2 MB").arg(count).arg(megabytes, 0, 'f', 1));
    Holds->setToolTip(QString::fromUtf8(QByteArray::fromStdString(journal.folder())));
}

bool JournalSettingsPage::Apply()
{
    if (CB_Preview->isChecked() == PreviewBeforeFolderChanges()) return false;
    SetPreviewBeforeFolderChanges(CB_Preview->isChecked());
    return true;
}

}  // namespace replidex
