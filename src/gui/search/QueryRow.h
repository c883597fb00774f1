// The search window's query row under the criteria panel: the query line
// 「検索式(&Q):」 with completion of keys and fixed values, the button that
// writes the panel's criteria as a query, the saved searches with their save
// and delete buttons, and the line that shows a query's error in red. It
// keeps no data: the saved searches are the program's.
#pragma once

#include <QWidget>

class QComboBox;
class QCompleter;
class QLabel;
class QLineEdit;
class QPushButton;

namespace replidex {

class CriteriaPanel;
class SavedQueries;

class QueryRow final : public QWidget {
    Q_OBJECT
public:
    explicit QueryRow(QWidget* parent = nullptr);

    // The query as typed, without the spaces around it.
    QString QueryText() const;
    bool HasQuery() const { return !QueryText().isEmpty(); }
    // Shows the error under the field in red (empty: hides the line).
    void ShowError(const QString& text);
    // Fills the combo with the names of the saved searches, keeping the one
    // named `current` chosen when it is there.
    void ShowSaved(const SavedQueries& saved, const QString& current = {});

    QLabel* Label_Query = nullptr;
    QLineEdit* Edit_Query = nullptr;
    QPushButton* BtnToQuery = nullptr;
    QComboBox* ComboBox_Saved = nullptr;
    QPushButton* BtnSaveQuery = nullptr;
    QPushButton* BtnDeleteQuery = nullptr;
    QLabel* Label_QueryError = nullptr;

signals:
    // Enter was pressed in the query line.
    void searchRequested();

private:
    // Completes the word under the cursor: a key, or a value after "key:".
    void CompleteWord();
    void InsertCompletion(const QString& word);

    QCompleter* completer_ = nullptr;
};

// Greys the criteria of the panel (not the text options, the scope or the
// buttons) while a query stands in for them, and gives them back as they were.
void GreyCriteria(CriteriaPanel& panel, bool greyed);

}  // namespace replidex
