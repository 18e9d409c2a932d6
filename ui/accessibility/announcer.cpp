#include "ui/accessibility/announcer.h"

#include "game/form1.h"
#include "ui/widgets/main_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QStatusBar>
#include <QStringList>
#include <utility>

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

namespace {

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.4 has no announcement, and what it sends of a changed name is the object, not the
    // text, which Orca 43 cannot speak. A notification that shows is spoken at once, and one in a
    // status bar without its role: the news is such a notification, never on the screen, named
    // by what it says. Orca reads the name when it comes to the event, which may be after the
    // next news (a target hit and Escape at once): each news goes out on the next of a few
    // lines, so that no line is named again before Orca has read it.
    constexpr int kNewsLines = 4;

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

    // The serial number counts the news sent.
    void announce(QWidget& box, const QString& news, int serial)
    {
        const QList<NewsLine*> lines = box.window()->findChildren<NewsLine*>();
        NewsLine* line = lines[serial % lines.size()];
        line->setAccessibleName(news);
        QAccessibleEvent shown(line, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }

    // Orca 43 speaks what it is told in order: told before the focus moves, the letters come
    // before the control that takes it. The input box keeps its caption.
    bool nameInputBox(QWidget&, const QString&) { return false; }
#else
    // Orca 48 drops an announcement that comes within 0.1 s of another from the same program,
    // unless it comes from text, a notification or the focus: a pause right after a hit, or a
    // resume right after a pause, was lost. Told by the input box, none is.
    void announce(QWidget& box, const QString& news, int)
    {
        QAccessibleAnnouncementEvent event(&box, news);
        QAccessible::updateAccessibility(&event);
    }

    // Orca 48 cuts off what it is saying when the focus moves, to say the focused control's name
    // first, and says a new name of the focused control at once. Named by the letters to type,
    // the input box says a new target at once, and the first after Ok or F2, as the focus comes
    // back to it, before its role. A name it has already is not said again.
    bool nameInputBox(QWidget& box, const QString& name)
    {
        if (box.accessibleName() == name)
            return false;
        box.setAccessibleName(name);
        return true;
    }
#endif

}

Announcer::Announcer(QWidget& window)
    : window_(window)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    QAccessible::installFactory(&makeInterface);
    QAccessible::installActivationObserver(this);
    accessibilityActiveChanged(QAccessible::isActive());
#endif
}

Announcer::~Announcer()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    QAccessible::removeActivationObserver(this);
    QAccessible::removeFactory(&makeInterface);
#endif
}

// Orca 43 lets pass the first news of a line it has never seen: the line is there as soon as a
// screen reader listens, before there is news.
void Announcer::accessibilityActiveChanged(bool active)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    if (active && !window_.findChild<NewsLine*>()) {
        auto* bar = new QStatusBar(&window_);
        bar->hide();
        for (int i = 0; i < kNewsLines; ++i)
            new NewsLine(bar);
    }
#else
    Q_UNUSED(active)
#endif
}

void Announcer::refreshed(MainWindow& window, const Form1& f)
{
    const Told now { f.roundsStarted, f.paused, f.lblOver.Visible, f.Label1.Visible,
        f.Label1.Caption, f.Label1.Top };
    const Told before = std::exchange(told_, now);
    if (!QAccessible::isActive())
        return;
    QWidget& box = window.inputBox();
    if (boxCaption_.isEmpty())
        boxCaption_ = box.accessibleName();
    // A new target shows, or comes back to the top where it starts.
    const bool newTarget = now.targetShown
        && (!before.targetShown || now.target != before.target || now.targetTop < before.targetTop);
    const bool resumed
        = before.paused && !now.paused && f.roundRunning && now.round == before.round;
    const QString letters = spokenLetters(now.target);
    QStringList news;
    if (resumed || (newTarget && !nameInputBox(box, letters)))
        news << letters;
    if (resumed)
        news << u"Resumed"_s;
    // The settings panel pauses the game too, and speaks for itself as the keyboard moves into it.
    if (now.paused && !before.paused && !f.Frame1.Visible)
        news << u"Paused"_s;
    if (now.over && !before.over) {
        news << f.lblOver.Caption;
        nameInputBox(box, boxCaption_);
    }
    if (!news.isEmpty())
        announce(box, news.join(u". "_s), newsSent_++);
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
