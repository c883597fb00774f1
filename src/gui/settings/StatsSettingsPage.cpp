#include "gui/settings/StatsSettingsPage.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/settings/ProfileFile.h"
#include "core/settings/StatsSettings.h"
#include "core/text/SjisCodec.h"

namespace replidex {

StatsSettingsPage::StatsSettingsPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TS_Stats"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("自分の名前"), this);
    names_ = new QPlainTextEdit(this);
    names_->setObjectName(QStringLiteral("Memo_MyNames"));
    names_->setLineWrapMode(QPlainTextEdit::NoWrap);
    names_->setToolTip(QStringLiteral("1行に1つ"));
    label->setBuddy(names_);
    layout->addWidget(label);
    layout->addWidget(names_, 1);
}

void StatsSettingsPage::Load(const std::string& iniPath)
{
    shown_ = LoadStatsSettings(ProfileFile(iniPath)).myNames;
    QStringList lines;
    for (const std::string& name : shown_) lines.append(QString::fromStdString(Cp932ToUtf8Lossy(name)));
    names_->setPlainText(lines.join(QLatin1Char('\n')));
}

bool StatsSettingsPage::ChosenNames(std::vector<std::string>& names, QString& refused) const
{
    names.clear();
    for (const QString& line : names_->toPlainText().split(QLatin1Char('\n'))) {
        if (line.isEmpty()) continue;
        std::string name;
        if (!Utf8ToCp932(line.toStdString(), name)) {
            refused = line;
            return false;
        }
        names.push_back(name);
    }
    names = CleanMyNames(names);
    return true;
}

bool StatsSettingsPage::Save(const std::string& iniPath, const std::vector<std::string>& names) const
{
    ProfileFile file(iniPath);
    StatsSettings settings = LoadStatsSettings(file);
    settings.myNames = names;
    SaveStatsSettings(file, settings);
    return file.save();
}

}  // namespace replidex
