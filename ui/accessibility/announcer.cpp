#include "ui/accessibility/announcer.h"

#include "game/form1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QStatusBar>
#include <QStringList>
#include <QWidget>
#include <utility>

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

namespace {

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.4 has no announcement, and what it sends of a changed name is the object, not the
    // text, which Orca 43 cannot speak. A notification that shows is spoken at once, and one in a
    // status bar without its role: the news is such a notification, never on the screen, named
    // by what it says.
    class NewsLine final : public QWidget {
        Q_OBJECT

    public:
        using QWidget::QWidget;
    };

    QAccessibleInterface* makeInterface(const QString&, QObject* object)
    {
        auto* news = qobject_cast<NewsLine*>(object);
        return news ? new QAccessibleWidget(news, QAccessible::Notification) : nullptr;
    }

    void say(QWidget& window, const QString& news, bool /*atOnce*/)
    {
        auto* line = window.findChild<NewsLine*>();
        if (!line) {
            auto* bar = new QStatusBar(&window);
            bar->hide();
            line = new NewsLine(bar);
        }
        line->setAccessibleName(news);
        QAccessibleEvent shown(line, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
#else
    // A target's letters cut off whatever the screen reader is saying: the player needs them now.
    void say(QWidget& window, const QString& news, bool atOnce)
    {
        QAccessibleAnnouncementEvent event(&window, news);
        event.setPoliteness(atOnce ? QAccessible::AnnouncementPoliteness::Assertive
                                   : QAccessible::AnnouncementPoliteness::Polite);
        QAccessible::updateAccessibility(&event);
    }
#endif

}

Announcer::Announcer()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    QAccessible::installFactory(&makeInterface);
#endif
}

Announcer::~Announcer()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    QAccessible::removeFactory(&makeInterface);
#endif
}

void Announcer::refreshed(QWidget& window, const Form1& f)
{
    const Told now { f.roundsStarted, f.paused, f.lblOver.Visible, f.Label1.Visible,
        f.Label1.Caption, f.Label1.Top };
    const Told before = std::exchange(told_, now);
    if (!QAccessible::isActive())
        return;
    // A new target shows, or comes back to the top where it starts.
    const bool newTarget = now.targetShown
        && (!before.targetShown || now.target != before.target || now.targetTop < before.targetTop);
    const bool resumed
        = before.paused && !now.paused && f.roundRunning && now.round == before.round;
    QStringList news;
    if (newTarget || resumed)
        news << spokenLetters(now.target);
    if (resumed)
        news << u"Resumed"_s;
    if (now.paused && !before.paused)
        news << u"Paused"_s;
    if (now.over && !before.over)
        news << f.lblOver.Caption;
    if (!news.isEmpty())
        say(window, news.join(u". "_s), newTarget || resumed);
}

QString spokenLetters(const QString& target)
{
    QStringList words;
    for (const QChar letter : target)
        words << (letter.isUpper() ? u"capital "_s + letter : QString(letter));
    return words.join(u", ");
}

}

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
#include "announcer.moc"
#endif
