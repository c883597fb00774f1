#include "gui/archive/ArchiveDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "core/text/SjisCodec.h"
#include "gui/archive/ArchivePlanModel.h"
#include "gui/dialogs/ChooseFolder.h"
#include "gui/dialogs/FileDialogs.h"

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

// For the preview while typing: a character without a Shift-JIS form is "?".
std::string SjisForPreview(const QString& text)
{
    std::string sjis;
    for (const char32_t c : text.toUcs4()) {
        std::string one;
        sjis += Utf8ToCp932(QString::fromUcs4(&c, 1).toUtf8().toStdString(), one) ? one : std::string("?");
    }
    return sjis;
}

}  // namespace

ArchiveDialog::ArchiveDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ArchiveDialog"));
    setWindowTitle(QStringLiteral("PuyoFフォルダから取り込む"));
    model_ = new ArchivePlanModel(this);
    PlanTable = Named(new QTableView(this), "PlanTable");
    PlanTable->setModel(model_);
    PlanTable->setSelectionMode(QAbstractItemView::NoSelection);
    PlanTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PlanTable->verticalHeader()->hide();
    PlanTable->verticalHeader()->setDefaultSectionSize(PlanTable->fontMetrics().height() + 6);
    PlanTable->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {100, 130, 90, 90, 50, 260};
    for (int column = 0; column < 6; ++column) PlanTable->setColumnWidth(column, widths[column]);

    Edit_ArchiveFolder = Named(new QLineEdit(this), "Edit_ArchiveFolder");
    Btn_ArchiveFolder = Named(new QPushButton(QStringLiteral("参照..."), this), "Btn_ArchiveFolder");
    Edit_NameTemplate = Named(new QLineEdit(this), "Edit_NameTemplate");
    Edit_FolderTemplate = Named(new QLineEdit(this), "Edit_FolderTemplate");
    Label_Preview = Named(new QLabel(this), "Label_Preview");
    Label_Preview->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Edit_ListFolder = Named(new QLineEdit(this), "Edit_ListFolder");
    Edit_ListFolder->setPlaceholderText(FromSjis(ListFolderNames({}).front()));
    CB_RemoveFromGame = Named(new QCheckBox(QStringLiteral("取り込んだファイルをPuyoFフォルダから削除する"), this),
                              "CB_RemoveFromGame");
    BtnArchive = Named(new QPushButton(QStringLiteral("取り込む"), this), "BtnArchive");
    BtnArchive->setDefault(true);
    BtnCancel = Named(new QPushButton(QStringLiteral("キャンセル"), this), "BtnCancel");

    auto* folder = new QHBoxLayout;
    folder->addWidget(Edit_ArchiveFolder, 1);
    folder->addWidget(Btn_ArchiveFolder);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("保存先フォルダ"), folder);
    form->addRow(QStringLiteral("ファイル名"), Edit_NameTemplate);
    form->addRow(QStringLiteral("フォルダ名"), Edit_FolderTemplate);
    form->addRow(QStringLiteral("例"), Label_Preview);
    form->addRow(QStringLiteral("リストのフォルダ"), Edit_ListFolder);
    form->addRow(QString(), CB_RemoveFromGame);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnArchive);
    buttons->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PlanTable, 1);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(900, 520);

    replan_ = new QTimer(this);
    replan_->setSingleShot(true);
    replan_->setInterval(300);
    connect(replan_, &QTimer::timeout, this, &ArchiveDialog::choicesEdited);
    for (QLineEdit* edit : {Edit_ArchiveFolder, Edit_NameTemplate, Edit_FolderTemplate})
        connect(edit, &QLineEdit::textEdited, replan_, qOverload<>(&QTimer::start));
    for (QLineEdit* edit : {Edit_NameTemplate, Edit_FolderTemplate})
        connect(edit, &QLineEdit::textChanged, this, [this] { updatePreview(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { updatePreview(); });
    connect(Btn_ArchiveFolder, &QPushButton::clicked, this, [this] { BtnArchiveFolderClick(); });
    connect(BtnArchive, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ArchiveDialog::showChoices(const ArchiveSettings& s, const QString& archiveFolder)
{
    Edit_ArchiveFolder->setText(archiveFolder);
    Edit_NameTemplate->setText(FromSjis(s.nameTemplate));
    Edit_FolderTemplate->setText(FromSjis(s.folderTemplate));
    Edit_ListFolder->setText(FromSjis(s.listFolder));
    CB_RemoveFromGame->setChecked(s.removeFromGame);
}

bool ArchiveDialog::chosenSettings(ArchiveSettings& s) const
{
    std::string folder;
    if (ToSjis(Edit_ArchiveFolder->text(), folder)) s.folder = folder;   // else the run uses the typed path only
    if (!ToSjis(Edit_NameTemplate->text(), s.nameTemplate) || !ToSjis(Edit_FolderTemplate->text(), s.folderTemplate) ||
        !ToSjis(Edit_ListFolder->text(), s.listFolder))
        return false;
    if (s.nameTemplate.empty()) s.nameTemplate = std::string(kDefaultNameTemplate);
    s.removeFromGame = CB_RemoveFromGame->isChecked();
    return true;
}

QString ArchiveDialog::archiveFolder() const
{
    return Edit_ArchiveFolder->text();
}

ArchiveTemplates ArchiveDialog::templates() const
{
    ArchiveTemplates t;
    t.name = SjisForPreview(Edit_NameTemplate->text());
    if (t.name.empty()) t.name = std::string(kDefaultNameTemplate);
    t.folder = SjisForPreview(Edit_FolderTemplate->text());
    return t;
}

void ArchiveDialog::updatePreview()
{
    const std::vector<PlannedSlot>& planned = model_->plan().files;
    Label_Preview->setText(planned.empty() ? QString()
                                         : QString::fromStdString(PreviewArchiveName(planned.front(), templates())));
}

void ArchiveDialog::BtnArchiveFolderClick()
{
    std::string start;
    if (!SjisFromNativePath(Edit_ArchiveFolder->text().toUtf8().toStdString(), start)) start.clear();
    const std::string chosen = ChooseFolder(this, start);
    if (chosen.empty()) return;
    Edit_ArchiveFolder->setText(detail::NativeFolder(chosen));
    emit choicesEdited();
}

}  // namespace replidex
