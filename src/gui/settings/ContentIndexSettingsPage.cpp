#include "gui/settings/ContentIndexSettingsPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/list/ContentIndex.h"
#include "platform/ContentIndexLocation.h"

namespace replidex {

ContentIndexSettingsPage::ContentIndexSettingsPage(QTabWidget* pages) : QWidget(pages)
{
    setObjectName(QStringLiteral("TS_ContentIndex"));
    CB_Record = new QCheckBox(QStringLiteral("ファイルの内容を記録する"), this);
    CB_Record->setObjectName(QStringLiteral("CB_Record"));
    Place = new QLabel(this);
    Place->setWordWrap(true);
    Place->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Holds = new QLabel(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 6, 2, 4);
    layout->addWidget(CB_Record);
    layout->addWidget(Place);
    layout->addWidget(Holds);
    layout->addStretch(1);
    pages->addTab(this, QStringLiteral("内容の記録"));
}

void ContentIndexSettingsPage::showSettings(const ContentIndexSettings& settings)
{
    CB_Record->setChecked(settings.record);
    const std::string path = ContentIndexPath();
    Place->setText(QStringLiteral("記録の場所: %1").arg(QString::fromStdString(path)));
    ContentIndex index;
    if (!path.empty()) index.load(path);
    Holds->setText(QStringLiteral("記録: %1件").arg(index.size()));
}

ContentIndexSettings ContentIndexSettingsPage::chosenSettings() const
{
    ContentIndexSettings settings;
    settings.record = CB_Record->isChecked();
    return settings;
}

}  // namespace replidex
