#include "gui/dialogs/ProgressDialog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

QString ProgressLabelText(int done, int total)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(ProgressText(done, total)));
}

}  // namespace

ProgressDialog::ProgressDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProgressDialog"));
    setWindowTitle(QStringLiteral("解析中"));
    // A fixed frame without title-bar buttons, above every other window.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setFixedSize(313, 122);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(24, 20, 265, 21);
    ProgressBar->setTextVisible(false);
    ProgressBar->setRange(0, 0);

    Label = new QLabel(this);
    Label->setObjectName(QStringLiteral("Label"));
    Label->move(32, 56);
    Label->resize(265, Label->sizeHint().height());

    Button = new QPushButton(QStringLiteral("キャンセル"), this);
    Button->setObjectName(QStringLiteral("Button"));
    Button->setGeometry(120, 80, 81, 25);
    Button->setAutoDefault(false);
    connect(Button, &QPushButton::clicked, this, &ProgressDialog::ButtonClick);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(100);
    Timer->setSingleShot(true);
    connect(Timer, &QTimer::timeout, this, &ProgressDialog::TimerTimer);
}

void ProgressDialog::SetWork(ImportTree* tree, int total)
{
    tree_ = tree;
    total_ = total;
    ran_ = false;
    outcome_ = {};
}

AnalyseOutcome ProgressDialog::Run()
{
    ProgressBar->setRange(0, total_ > 0 ? total_ : 1);
    ProgressBar->setValue(0);
    Label->setText(ProgressLabelText(0, total_));
    if (tree_) exec();
    // Whatever ended the window (done, キャンセル, Esc), the work is over; a
    // window closed before the analysis began cancelled all of it.
    Timer->stop();
    if (!ran_) outcome_.cancelled = total_ > 0;
    tree_ = nullptr;
    return outcome_;
}

void ProgressDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Timer->start();
}

void ProgressDialog::hideEvent(QHideEvent* event)
{
    // Hiding the window ends the modal state; an analysis still running
    // stops after the file it is on.
    Timer->stop();
    cancel_ = true;
    QDialog::hideEvent(event);
}

void ProgressDialog::TimerTimer()
{
    Timer->stop();
    AnalysePending();
    hide();
}

void ProgressDialog::ButtonClick()
{
    cancel_ = true;
}

void ProgressDialog::AnalysePending()
{
    cancel_ = false;
    ran_ = true;
    sinceEvents_.invalidate();
    if (!tree_ || !tree_->root()) return;
    ProgressBar->setRange(0, total_ > 0 ? total_ : 1);
    ProgressBar->setValue(0);
    outcome_ = replidex::AnalysePending(*tree_, total_,
                                        [this](int done, int total) { return FileDone(done, total); });
    tree_ = nullptr;
    cancel_ = false;
}

bool ProgressDialog::FileDone(int done, int total)
{
    if (cancel_) return false;
    // Pending events run after the first file and then about once a frame:
    // often enough for the bar, the label and キャンセル to answer at once,
    // seldom enough that a file costs little more than its analysis.
    const bool eventsDue = !sinceEvents_.isValid() || sinceEvents_.elapsed() >= kEventsIntervalMs;
    if (!eventsDue && done < total) return true;
    ProgressBar->setValue(done);
    Label->setText(ProgressLabelText(done, total));
    if (!eventsDue) return true;
    // Here the bar and the label repaint and a click on キャンセル arrives.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    sinceEvents_.start();
    return !cancel_;
}

}  // namespace replidex
