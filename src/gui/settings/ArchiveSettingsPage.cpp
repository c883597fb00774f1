#include "gui/settings/ArchiveSettingsPage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/text/SjisCodec.h"
#include "gui/dialogs/ChooseFolder.h"
#include "gui/dialogs/FileDialogs.h"
#include "platform/ArchiveLocation.h"

namespace replidex {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QString FromSjis(const std::string& sjis)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(sjis));
}

bool ToSjis(const QString& text, std::string& sjis)
{
    return Utf8ToCp932(text.toUtf8().toStdString(), sjis);
}

}  // namespace

ArchiveSettingsPage::ArchiveSettingsPage(QTabWidget* pages) : QWidget(pages)
{
    setObjectName(QStringLiteral("TS_Archive"));
    Edit_ArchiveFolder = Named(new QLineEdit(this), "Edit_ArchiveFolder");
    Edit_ArchiveFolder->setPlaceholderText(QString::fromStdString(DefaultArchiveFolder()));
    Btn_ArchiveFolder = Named(new QPushButton(QStringLiteral("設定"), this), "Btn_ArchiveFolder");
    Btn_ArchiveFolder->setFixedWidth(40);
    Edit_NameTemplate = Named(new QLineEdit(this), "Edit_NameTemplate");
    Edit_FolderTemplate = Named(new QLineEdit(this), "Edit_FolderTemplate");
    Edit_ListFolder = Named(new QLineEdit(this), "Edit_ListFolder");
    Edit_ListFolder->setPlaceholderText(FromSjis(ListFolderNames({}).front()));
    CB_RemoveFromGame = Named(new QCheckBox(QStringLiteral("取り込んだファイルをPuyoFフォルダから削除する"), this),
                              "CB_RemoveFromGame");
    CB_Watch = Named(new QCheckBox(QStringLiteral("PuyoFフォルダを監視して自動で取り込む"), this), "CB_Watch");

    auto* folder = new QHBoxLayout;
    folder->addWidget(Edit_ArchiveFolder, 1);
    folder->addWidget(Btn_ArchiveFolder);
    auto* form = new QFormLayout;
    form->setContentsMargins(0, 0, 0, 0);
    form->setVerticalSpacing(3);
    form->addRow(QStringLiteral("保存先"), folder);
    form->addRow(QStringLiteral("ファイル名"), Edit_NameTemplate);
    form->addRow(QStringLiteral("フォルダ名"), Edit_FolderTemplate);
    form->addRow(QStringLiteral("リスト"), Edit_ListFolder);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 6, 2, 4);
    layout->setSpacing(3);
    layout->addLayout(form);
    layout->addWidget(CB_RemoveFromGame);
    layout->addWidget(CB_Watch);
    layout->addStretch(1);
    pages->addTab(this, QStringLiteral("取り込み"));

    connect(Btn_ArchiveFolder, &QPushButton::clicked, this, [this] {
        std::string start;
        if (!SjisFromNativePath(Edit_ArchiveFolder->text().toUtf8().toStdString(), start)) start.clear();
        const std::string chosen = ChooseFolder(this, start);
        if (!chosen.empty()) Edit_ArchiveFolder->setText(detail::NativeFolder(chosen));
    });
}

void ArchiveSettingsPage::showSettings(const ArchiveSettings& s)
{
    Edit_ArchiveFolder->setText(s.folder.empty() ? QString() : detail::NativeFolder(s.folder));
    Edit_NameTemplate->setText(FromSjis(s.nameTemplate));
    Edit_FolderTemplate->setText(FromSjis(s.folderTemplate));
    Edit_ListFolder->setText(FromSjis(s.listFolder));
    CB_RemoveFromGame->setChecked(s.removeFromGame);
    CB_Watch->setChecked(s.watch);
}

bool ArchiveSettingsPage::chosenSettings(ArchiveSettings& settings) const
{
    ArchiveSettings s = settings;
    const QString folder = Edit_ArchiveFolder->text();
    if (folder.isEmpty()) s.folder.clear();
    else if (folder != detail::NativeFolder(settings.folder) && !SjisFromNativePath(folder.toUtf8().toStdString(), s.folder))
        return false;
    if (!ToSjis(Edit_NameTemplate->text(), s.nameTemplate) || !ToSjis(Edit_FolderTemplate->text(), s.folderTemplate) ||
        !ToSjis(Edit_ListFolder->text(), s.listFolder))
        return false;
    if (s.nameTemplate.empty()) s.nameTemplate = std::string(kDefaultNameTemplate);
    s.removeFromGame = CB_RemoveFromGame->isChecked();
    s.watch = CB_Watch->isChecked();
    settings = s;
    return true;
}

}  // namespace replidex
