#include "ui/platform/first_frame.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace keyfall {

namespace {

    // A widget window paints and flushes its first frame while it handles its first expose, so
    // an action queued from there runs after the frame is out.
    class FirstExposeWatcher final : public QObject {
    public:
        FirstExposeWatcher(QWindow& window, std::function<void()> action)
            : QObject(&window)
            , window_(window)
            , action_(std::move(action))
        {
            window.installEventFilter(this);
        }

        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (watched == &window_ && event->type() == QEvent::Expose && window_.isExposed()) {
                window_.removeEventFilter(this);
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        action_();
                        deleteLater();
                    },
                    Qt::QueuedConnection);
            }
            return false;
        }

    private:
        QWindow& window_;
        std::function<void()> action_;
    };

}

void afterFirstFrame(QWidget& window, std::function<void()> action)
{
    window.winId(); // makes sure the native window exists
    new FirstExposeWatcher(*window.windowHandle(), std::move(action));
}

}
