#include "ui/accessibility/accessible_news.h"

#include <QStringList>
#include <QWidget>
#include <QtGlobal>

namespace keyfall {

namespace {

    // A piece of news, as a screen reader finds it in the line.
    class NewsItem final : public QAccessibleInterface {
    public:
        NewsItem(AccessibleNewsLine& line, int index)
            : line_(line)
            , index_(index)
        {
        }

        bool isValid() const override { return line_.isValid(); }
        QObject* object() const override { return nullptr; }
        QWindow* window() const override { return line_.window(); }
        QAccessibleInterface* parent() const override { return &line_; }
        QAccessibleInterface* child(int) const override { return nullptr; }
        int childCount() const override { return 0; }
        int indexOfChild(const QAccessibleInterface*) const override { return -1; }
        QAccessibleInterface* childAt(int, int) const override { return nullptr; }
        QString text(QAccessible::Text kind) const override
        {
            return kind == QAccessible::Name ? line_.words(index_) : QString();
        }
        void setText(QAccessible::Text, const QString&) override { }
        QRect rect() const override { return {}; }
        QAccessible::Role role() const override { return QAccessible::Notification; }
        QAccessible::State state() const override { return line_.state(); }

    private:
        AccessibleNewsLine& line_;
        int index_;
    };

}

AccessibleNewsLine::AccessibleNewsLine(QWidget& window)
    : window_(&window)
{
    for (int i = 0; i < kKept; ++i)
        items_[std::size_t(i)] = QAccessible::registerAccessibleInterface(new NewsItem(*this, i));
}

AccessibleNewsLine::~AccessibleNewsLine()
{
    for (const QAccessible::Id id : items_)
        QAccessible::deleteAccessibleInterface(id);
}

void AccessibleNewsLine::tell(const QString& news)
{
    const int index = told_++ % kKept;
    words_[std::size_t(index)] = news;
    QAccessibleInterface* item = child(index);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Spoken as it is by a screen reader that knows announcements (Orca 45 and later).
    QAccessibleAnnouncementEvent event(item, news);
#else
    // Qt 6.4 has no announcement, and what it sends of a changed name or description is the
    // object, not the text, which Orca 43 cannot speak. A notification that shows is spoken at
    // once, and one within a status bar without its role.
    QAccessibleEvent event(item, QAccessible::ObjectShow);
#endif
    QAccessible::updateAccessibility(&event);
}

QWindow* AccessibleNewsLine::window() const { return window_ ? window_->windowHandle() : nullptr; }

QAccessibleInterface* AccessibleNewsLine::parent() const
{
    return QAccessible::queryAccessibleInterface(window_);
}

QAccessibleInterface* AccessibleNewsLine::child(int index) const
{
    return index >= 0 && index < kKept
        ? QAccessible::accessibleInterface(items_[std::size_t(index)])
        : nullptr;
}

int AccessibleNewsLine::indexOfChild(const QAccessibleInterface* child) const
{
    for (int i = 0; i < kKept; ++i) {
        if (this->child(i) == child)
            return i;
    }
    return -1;
}

// Nothing of it is on the screen.
QAccessible::State AccessibleNewsLine::state() const
{
    QAccessible::State state;
    state.invisible = true;
    return state;
}

QString spokenLetters(const QString& target)
{
    QStringList words;
    for (const QChar letter : target)
        words << (letter.isUpper() ? QStringLiteral("capital ") + letter : QString(letter));
    return words.join(u", ");
}

}
