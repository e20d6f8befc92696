#include "support/backgroundrun.h"

#include "support/appinfo.h"
#include "support/messageboxfit.h"
#include "support/workerthread.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <exception>
#include <memory>

namespace {

// The worker's nice value (Linux keeps one per thread).
constexpr int WorkerNice = 10;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

// While a run goes on: Esc and closing a window cancel it, other input is held back except in
// the progress window.
class InputGuard : public QObject
{
public:
    InputGuard(BackgroundRun &run)
        : m_run(run)
    {
        qApp->installEventFilter(this);
    }
    ~InputGuard() override { qApp->removeEventFilter(this); }
    void setProgressWindow(QWidget *window) { m_progress = window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
                if (type == QEvent::KeyPress)
                    m_run.cancel();
                event->accept();
                return true;
            }
        }
        const bool inProgressWindow =
            m_progress && watched->isWidgetType() &&
            (watched == m_progress || m_progress->isAncestorOf(static_cast<QWidget *>(watched)));
        if (type == QEvent::Close && !inProgressWindow && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow()) {
            m_run.cancel();
            event->ignore();
            return true;
        }
        if (isUserInput(type) && !inProgressWindow) {
            event->accept(); // an accepted ShortcutOverride keeps shortcuts from firing
            return true;
        }
        return false;
    }

private:
    BackgroundRun &m_run;
    QPointer<QWidget> m_progress;
};

// Greys out the main window's menus and controls for the run and gives its focus back after.
class DisabledWindow
{
public:
    DisabledWindow()
        : m_window(qobject_cast<QMainWindow *>(QApplication::activeWindow()))
        , m_focus(QApplication::focusWidget())
    {
        if (!m_window)
            return;
        for (QWidget *part : {m_window->menuWidget(), m_window->centralWidget()})
            if (part && part->isEnabled()) {
                part->setEnabled(false);
                m_disabled.push_back(part);
            }
    }
    ~DisabledWindow()
    {
        for (const QPointer<QWidget> &part : m_disabled)
            if (part)
                part->setEnabled(true);
        if (m_focus)
            m_focus->setFocus();
    }
    QWidget *window() const { return m_window; }

private:
    QPointer<QMainWindow> m_window;
    QPointer<QWidget> m_focus;
    std::vector<QPointer<QWidget>> m_disabled;
};

} // namespace

BackgroundRun::BackgroundRun()
    : m_worker(std::make_unique<WorkerThread>(WorkerNice))
{}

BackgroundRun::~BackgroundRun() = default;

BackgroundRun &BackgroundRun::instance()
{
    static BackgroundRun run;
    return run;
}

void BackgroundRun::cancel()
{
    if (m_cancel && *m_cancel)
        (*m_cancel)();
}

void BackgroundRun::run(const std::function<void()> &work, const std::function<void()> &cancel)
{
    if (isRunning() || !qobject_cast<QApplication *>(QCoreApplication::instance())) {
        work();
        return;
    }
    m_cancel = &cancel;

    // The worker tells the window's thread that it has ended: through the condition while
    // that thread waits quietly, through the event loop once it runs one.
    std::exception_ptr failure;
    m_worker->start([&work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    const auto finish = [&] {
        m_worker->wait();
        m_cancel = nullptr;
        if (failure)
            std::rethrow_exception(failure);
    };

    // Most runs end at once: then the window is left as it is, not greyed and given back.
    if (m_worker->waitFor(QuietWait)) {
        finish();
        return;
    }
    QEventLoop eventLoop;
    m_worker->whenDone([&eventLoop] {
        QMetaObject::invokeMethod(&eventLoop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    const std::unique_ptr<InputGuard> guard = std::make_unique<InputGuard>(*this);
    const DisabledWindow disabled;
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);

    std::unique_ptr<QProgressDialog> progress;
    QTimer showTimer;
    showTimer.setSingleShot(true);
    QObject::connect(&showTimer, &QTimer::timeout, [&] {
        progress = std::make_unique<QProgressDialog>(
            QStringLiteral("Running. Esc or Cancel stops the run."), QStringLiteral("Cancel"), 0, 0,
            disabled.window());
        progress->setWindowTitle(AppInfo::Title.toString());
        progress->setAutoClose(false);
        progress->setAutoReset(false);
        progress->setMinimumDuration(0);
        // As wide as its whole caption, like the message boxes.
        progress->setMinimumWidth(captionWidth(progress->windowTitle()));
        QObject::connect(progress.get(), &QProgressDialog::canceled, [this] { this->cancel(); });
        guard->setProgressWindow(progress.get());
        progress->show();
    });
    showTimer.start(ShowAfter - QuietWait);
    eventLoop.exec();

    showTimer.stop();
    progress.reset();
    QGuiApplication::restoreOverrideCursor();
    finish();
}
