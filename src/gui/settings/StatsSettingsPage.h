// The settings page 「成績」: the user's own handle names (「自分の名前」, one
// a line), which the statistics window offers first. Read from and written to
// the settings file's "Stats" section, the window's two options kept as they
// are there.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QPlainTextEdit;

namespace replidex {

class StatsSettingsPage final : public QWidget {
    Q_OBJECT
public:
    explicit StatsSettingsPage(QWidget* parent = nullptr);

    // Shows the names the settings file holds.
    void Load(const std::string& iniPath);
    // The names typed, in Shift-JIS; false (and `refused` the first line)
    // when a line has no Shift-JIS form.
    bool ChosenNames(std::vector<std::string>& names, QString& refused) const;
    // Writes the names into the settings file; false when it cannot be written.
    bool Save(const std::string& iniPath, const std::vector<std::string>& names) const;
    // Whether the names differ from those shown by Load.
    bool Changed(const std::vector<std::string>& names) const { return names != shown_; }

    QPlainTextEdit* NamesEdit() const { return names_; }

private:
    QPlainTextEdit* names_;
    std::vector<std::string> shown_;
};

}  // namespace replidex
