#include "gui/stats/StatsWindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>

#include "core/file/NativeFiles.h"
#include "core/settings/ProfileFile.h"
#include "core/stats/CsvWriter.h"
#include "core/stats/StatsTableText.h"
#include "core/text/SjisCodec.h"
#include "gui/dialogs/FileDialogs.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/stats/StatsBarChart.h"
#include "gui/stats/StatsTableModel.h"

namespace replidex {

namespace {

constexpr std::size_t kCommonNames = 20;
const QString kNameJoint = QStringLiteral(" / ");

QString Display(const std::string& sjis)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(sjis));
}

// The CSV kinds the save dialog offers, in its filter order.
struct CsvChoice {
    const char* filter;
    bool matches;
    CsvEncoding encoding;
};
constexpr CsvChoice kCsvChoices[] = {
    {"表 UTF-8 (*.csv)", false, CsvEncoding::Utf8WithBom},
    {"表 Shift_JIS (*.csv)", false, CsvEncoding::ShiftJis},
    {"対戦ごと UTF-8 (*.csv)", true, CsvEncoding::Utf8WithBom},
    {"対戦ごと Shift_JIS (*.csv)", true, CsvEncoding::ShiftJis},
};

// Writes beside the file first, then puts it in place: a failed export never
// leaves half a file under the chosen name.
std::string WriteWholeFile(const std::string& nativePath, const std::string& bytes)
{
    const std::string temporary =
        nativePath + ".tmp" + std::to_string(QCoreApplication::applicationPid());
    const int fd = CreateNewFile(temporary);
    if (fd < 0) return FileErrorText(std::error_code(errno, std::generic_category()));
    const bool written = WriteToFile(fd, bytes.data(), bytes.size()) == static_cast<long long>(bytes.size());
    const int writeError = errno;
    if (!CloseFile(fd, true) || !written) {
        RemoveFile(temporary);
        return FileErrorText(std::error_code(written ? EIO : writeError, std::generic_category()));
    }
    if (const std::error_code why = MoveOverFile(temporary, nativePath)) {
        RemoveFile(temporary);
        return FileErrorText(why);
    }
    return {};
}

}  // namespace

QString MyNamesItemText(const std::vector<std::string>& myNames)
{
    QStringList names;
    for (const std::string& name : myNames) names.append(Display(name));
    return names.join(kNameJoint);
}

StatsWindow::StatsWindow(const EntryPool& pool, std::string iniPath, QWidget* parent)
    : QDialog(parent), pool_(pool), iniPath_(std::move(iniPath))
{
    setObjectName(QStringLiteral("StatsWindow"));
    setWindowTitle(QStringLiteral("対戦成績"));
    setModal(true);
    settings_ = LoadStatsSettings(ProfileFile(iniPath_));

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* playerLabel = new QLabel(QStringLiteral("プレイヤー:"), this);
    player_ = new QComboBox(this);
    player_->setObjectName(QStringLiteral("CB_Player"));
    player_->setEditable(true);
    player_->setInsertPolicy(QComboBox::NoInsert);
    player_->setMinimumWidth(180);
    playerLabel->setBuddy(player_);
    scopeLabel_ = new QLabel(this);
    scopeLabel_->setObjectName(QStringLiteral("Label_Scope"));
    top->addWidget(playerLabel);
    top->addWidget(player_);
    top->addSpacing(12);
    top->addWidget(scopeLabel_, 1);
    layout->addLayout(top);

    auto* options = new QHBoxLayout;
    sameMatchOnce_ = new QCheckBox(QStringLiteral("同じ対戦は1回と数える"), this);
    sameMatchOnce_->setObjectName(QStringLiteral("CB_SameMatchOnce"));
    sameMatchOnce_->setChecked(settings_.sameMatchOnce);
    excludeMissing_ = new QCheckBox(QStringLiteral("見つからない・変更されたファイルを除く"), this);
    excludeMissing_->setObjectName(QStringLiteral("CB_ExcludeMissing"));
    excludeMissing_->setChecked(settings_.excludeMissing);
    options->addWidget(sameMatchOnce_);
    options->addWidget(excludeMissing_);
    options->addStretch(1);
    layout->addLayout(options);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("TC"));
    tabs_->setExpanding(false);
    for (int t = 0; t < kStatsTableCount; ++t) tabs_->addTab(Display(StatsTableTitle(static_cast<StatsTable>(t))));
    layout->addWidget(tabs_);

    model_ = new StatsTableModel(this);
    table_ = new QTreeView(this);
    table_->setObjectName(QStringLiteral("List"));
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setSortingEnabled(true);
    table_->setModel(model_);
    table_->header()->setSortIndicatorShown(true);
    chart_ = new StatsBarChart(model_, this);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(table_);
    split->addWidget(chart_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    auto* bottom = new QHBoxLayout;
    totals_ = new QLabel(this);
    totals_->setObjectName(QStringLiteral("Label_Totals"));
    btnCsv_ = new QPushButton(QStringLiteral("CSVに保存(&E)..."), this);
    btnCsv_->setObjectName(QStringLiteral("BtnCsv"));
    btnCsv_->setAutoDefault(false);
    btnClose_ = new QPushButton(QStringLiteral("閉じる"), this);
    btnClose_->setObjectName(QStringLiteral("BtnClose"));
    btnClose_->setAutoDefault(false);
    bottom->addWidget(totals_, 1);
    bottom->addWidget(btnCsv_);
    bottom->addWidget(btnClose_);
    layout->addLayout(bottom);
    resize(900, 560);

    connect(player_, &QComboBox::currentTextChanged, this, [this] { Recount(); });
    connect(sameMatchOnce_, &QCheckBox::toggled, this, [this] { Recount(); });
    connect(excludeMissing_, &QCheckBox::toggled, this, [this] { Recount(); });
    connect(tabs_, &QTabBar::currentChanged, this, [this](int tab) { ShowTable(tab); });
    connect(table_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) { DrillDownRow(index.row()); });
    connect(btnCsv_, &QPushButton::clicked, this, [this] { BtnCsvClick(); });
    connect(btnClose_, &QPushButton::clicked, this, [this] { reject(); });
}

void StatsWindow::SetScope(std::vector<std::int32_t> scope, const QString& scopeText)
{
    scope_ = std::move(scope);
    scopeLabel_->setText(QStringLiteral("範囲: ") + scopeText);
    FillPlayerBox();
    Recount();
}

void StatsWindow::FillPlayerBox()
{
    const QSignalBlocker block(player_);
    player_->clear();
    if (!settings_.myNames.empty()) player_->addItem(MyNamesItemText(settings_.myNames));
    for (const std::string& name : CommonestNames(pool_, scope_, kCommonNames + settings_.myNames.size())) {
        if (player_->count() >= static_cast<int>(kCommonNames) + (settings_.myNames.empty() ? 0 : 1)) break;
        if (settings_.myNames.size() == 1 && name == settings_.myNames.front()) continue;
        player_->addItem(Display(name));
    }
    player_->setCurrentIndex(player_->count() ? 0 : -1);
}

std::vector<std::string> StatsWindow::SubjectNames() const
{
    const QString text = player_->currentText();
    std::vector<std::string> names;
    const QStringList parts = !settings_.myNames.empty() && text == MyNamesItemText(settings_.myNames)
                                  ? text.split(kNameJoint)
                                  : QStringList{text};
    for (const QString& part : parts) {
        std::string name;
        if (!part.isEmpty() && Utf8ToCp932(part.toStdString(), name)) names.push_back(name);
    }
    return names;
}

void StatsWindow::Recount()
{
    StatsOptions options;
    options.sameMatchOnce = sameMatchOnce_->isChecked();
    options.excludeMissing = excludeMissing_->isChecked();
    const StatsSubject subject(SubjectNames());
    model_->setTable(nullptr, model_->table());
    stats_ = subject.empty() ? PlayerStats{} : ComputePlayerStats(pool_, scope_, subject, options);
    ShowTable(tabs_->currentIndex());
    totals_->setText(QStringLiteral("%1戦 %2勝 %3敗 不明 %4  対象外 %5")
                         .arg(stats_.matches.size())
                         .arg(stats_.wins)
                         .arg(stats_.losses)
                         .arg(stats_.unknown)
                         .arg(stats_.excluded));
}

void StatsWindow::ShowTable(int tab)
{
    model_->setTable(&stats_, static_cast<StatsTable>(std::clamp(tab, 0, kStatsTableCount - 1)));
    table_->header()->setSortIndicator(-1, Qt::AscendingOrder);
    for (int c = 1; c < model_->columnCount(); ++c) table_->resizeColumnToContents(c);
}

void StatsWindow::DrillDownRow(int row)
{
    const StatsRow* counted = model_->rowAt(row);
    if (!counted || counted->countedSlots.empty() || !drillDown_) return;
    const std::vector<std::int32_t> entrySlots = counted->countedSlots;
    accept();
    drillDown_(entrySlots);
}

void StatsWindow::BtnCsvClick()
{
    QStringList filters;
    for (const CsvChoice& choice : kCsvChoices) filters.append(QString::fromUtf8(choice.filter));
    const FileDialogRequest request{FileDialogKind::SaveList, QStringLiteral("CSVに保存"), QString(),
                                    filters.join(QStringLiteral(";;"))};
    QStringList answer;
    QString chosenFilter = filters.front();
    if (!detail::AnswerFromResponder(request, answer)) {
        const QString path = QFileDialog::getSaveFileName(this, request.title, QString(), request.filter,
                                                          &chosenFilter);
        if (!path.isEmpty()) answer.append(path);
    }
    if (answer.isEmpty() || answer.first().isEmpty()) return;
    QString path = answer.first();
    if (!path.contains(QLatin1Char('.'))) path += QStringLiteral(".csv");
    const CsvChoice& choice = kCsvChoices[std::max<qsizetype>(0, filters.indexOf(chosenFilter))];
    const std::string bytes = CsvText(choice.matches ? MatchListRows(pool_, stats_) : StatsTableRows(stats_, model_->table()),
                                      choice.encoding);
    const std::string failure = WriteWholeFile(path.toStdString(), bytes);
    if (failure.empty()) return;
    std::string where;
    if (!Utf8ToCp932(path.toStdString() + "\n" + failure, where)) Utf8ToCp932(failure, where);
    ShowMessageBox(Sjis("CSVファイルを保存できませんでした。\n") + where, kMsgError);
}

void StatsWindow::done(int result)
{
    if (settings_.sameMatchOnce != sameMatchOnce_->isChecked() ||
        settings_.excludeMissing != excludeMissing_->isChecked()) {
        settings_.sameMatchOnce = sameMatchOnce_->isChecked();
        settings_.excludeMissing = excludeMissing_->isChecked();
        ProfileFile file(iniPath_);
        settings_.myNames = LoadStatsSettings(file).myNames;   // the settings page may have changed them
        SaveStatsSettings(file, settings_);
        file.save();
    }
    QDialog::done(result);
}

}  // namespace replidex
