#pragma once

#include <QAccessibleInterface>
#include <QPointer>
#include <QString>
#include <array>

class QWidget;

namespace keyfall {

// A line of news for a screen reader: what a player must hear at once (a new target, a pause, the
// settings panel, the end of the round), each piece said once and as it is, with nothing before
// it. It is not on the screen: it is a status bar of the window's, each piece of news a
// notification in it, which keeps its words so that a screen reader that asks late hears them.
class AccessibleNewsLine final : public QAccessibleInterface {
public:
    explicit AccessibleNewsLine(QWidget& window);
    ~AccessibleNewsLine() override;
    AccessibleNewsLine(const AccessibleNewsLine&) = delete;
    AccessibleNewsLine& operator=(const AccessibleNewsLine&) = delete;

    // Has the news spoken, after what the line told before.
    void tell(const QString& news);

    // The words of one piece of news.
    const QString& words(int index) const { return words_[std::size_t(index)]; }

    bool isValid() const override { return !window_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override { return int(items_.size()); }
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text) const override { return {}; }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::StatusBar; }
    QAccessible::State state() const override;

private:
    // Enough that a screen reader has asked after a piece of news before its place is taken by a
    // later one, however far behind it runs.
    static constexpr int kKept = 8;

    QPointer<QWidget> window_;
    std::array<QString, kKept> words_;
    std::array<QAccessible::Id, kKept> items_ {};
    int told_ = 0;
};

// The letters of a target as words, each capital said to be one ("capital T, capital U, b"), so
// that a listener hears every letter and its case whatever the screen reader's own settings.
QString spokenLetters(const QString& target);

}
