#include "ui/accessibility/accessible_controls.h"

#include "game/form1.h"
#include "ui/accessibility/accessible_news.h"
#include "ui/paint/label_look.h"
#include "ui/widgets/command_keys.h"
#include "ui/widgets/control_surface.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/painted_label_button.h"
#include "ui/widgets/settings_frame.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

namespace {

    bool isCaseLabel(const Form1& f, const Label& label)
    {
        return &label == &f.lblCaps || &label == &f.lblSmall || &label == &f.lblMixed;
    }

    // What a painted label is to assistive technology: a label that takes clicks is a push button
    // or, for a letter case, a radio button checked by its border; the others are plain text, the
    // target and the time-over caption too (the window's news line speaks them).
    QAccessible::Role accessibleRole(const Form1& form, const Label& label)
    {
        if (!form.hasClickHandler(label))
            return QAccessible::StaticText;
        return isCaseLabel(form, label) ? QAccessible::RadioButton : QAccessible::Button;
    }

    // A label painted on a surface. It has no object of its own: it lives as long as its surface.
    class AccessibleLabel final : public QAccessibleInterface, public QAccessibleActionInterface {
    public:
        AccessibleLabel(ControlSurface& surface, const Label& label)
            : surface_(&surface)
            , label_(label)
        {
        }

        bool isValid() const override { return !surface_.isNull(); }
        QObject* object() const override { return nullptr; }
        QWindow* window() const override
        {
            return surface_ ? surface_->window()->windowHandle() : nullptr;
        }

        QAccessibleInterface* parent() const override
        {
            return QAccessible::queryAccessibleInterface(surface_);
        }
        QAccessibleInterface* child(int) const override { return nullptr; }
        int childCount() const override { return 0; }
        int indexOfChild(const QAccessibleInterface*) const override { return -1; }
        QAccessibleInterface* childAt(int, int) const override { return nullptr; }

        QString text(QAccessible::Text kind) const override
        {
            return kind == QAccessible::Name ? label_.Caption : QString();
        }
        void setText(QAccessible::Text, const QString&) override { }

        // A hidden label keeps the place where it shows, as a hidden widget does.
        QRect rect() const override
        {
            if (!surface_)
                return {};
            Label shown = label_;
            shown.Visible = true;
            const QRect place = lookOf(shown).rect;
            return { surface_->mapToGlobal(place.topLeft()), place.size() };
        }

        QAccessible::Role role() const override
        {
            return surface_ ? accessibleRole(surface_->form(), label_) : QAccessible::NoRole;
        }

        QAccessible::State state() const override
        {
            QAccessible::State state;
            state.invisible = !surface_ || !surface_->isVisible() || !label_.Visible;
            state.disabled = !label_.Enabled;
            if (role() == QAccessible::RadioButton) {
                state.checkable = true;
                state.checked = label_.BorderStyle == Border::FixedSingle;
            }
            return state;
        }

        void* interface_cast(QAccessible::InterfaceType type) override
        {
            const bool takesClicks = surface_ && surface_->form().hasClickHandler(label_);
            return type == QAccessible::ActionInterface && takesClicks
                ? static_cast<QAccessibleActionInterface*>(this)
                : nullptr;
        }

        QStringList actionNames() const override { return { pressAction() }; }
        // The keys that stand for the click, as the key of the command.
        QStringList keyBindingsForAction(const QString& actionName) const override
        {
            return surface_ && actionName == pressAction() ? keysOf(surface_->form(), label_)
                                                           : QStringList();
        }
        // The press runs what a click of the mouse on the label runs.
        void doAction(const QString& actionName) override
        {
            if (surface_ && actionName == pressAction())
                surface_->pressLabel(label_);
        }

        const Label& label() const { return label_; }

    private:
        QPointer<ControlSurface> surface_;
        const Label& label_;
    };

    // A surface: the window's client area or the settings panel. Its children are its painted
    // labels, in reading order, then its widgets, which lie above them. The labels' interfaces
    // are its own: they go with it, as it goes with the surface.
    class AccessibleSurface final : public QAccessibleWidget {
    public:
        AccessibleSurface(ControlSurface& surface, QAccessible::Role role, QString name)
            : QAccessibleWidget(&surface, role)
            , name_(std::move(name))
        {
            std::vector<const Label*> labels = surface.labels();
            std::stable_sort(labels.begin(), labels.end(), [](const Label* a, const Label* b) {
                return std::pair(a->Top, a->Left) < std::pair(b->Top, b->Left);
            });
            for (const Label* label : labels)
                labelIds_.push_back(
                    QAccessible::registerAccessibleInterface(new AccessibleLabel(surface, *label)));
        }

        ~AccessibleSurface() override
        {
            for (const QAccessible::Id id : labelIds_)
                QAccessible::deleteAccessibleInterface(id);
        }

        AccessibleSurface(const AccessibleSurface&) = delete;
        AccessibleSurface& operator=(const AccessibleSurface&) = delete;

        QString text(QAccessible::Text kind) const override
        {
            return kind == QAccessible::Name ? name_ : QAccessibleWidget::text(kind);
        }

        int childCount() const override { return labelCount() + QAccessibleWidget::childCount(); }

        QAccessibleInterface* child(int index) const override
        {
            if (index < 0)
                return nullptr;
            const std::vector<QAccessible::Id> labels = ownLabelIds();
            if (index < int(labels.size()))
                return QAccessible::accessibleInterface(labels[index]);
            return QAccessibleWidget::child(index - int(labels.size()));
        }

        int indexOfChild(const QAccessibleInterface* child) const override
        {
            const std::vector<QAccessible::Id> labels = ownLabelIds();
            const auto found = std::find(labels.begin(), labels.end(),
                QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child)));
            if (found != labels.end())
                return int(found - labels.begin());
            const int widgetIndex = QAccessibleWidget::indexOfChild(child);
            return widgetIndex < 0 ? -1 : int(labels.size()) + widgetIndex;
        }

        // The widgets lie above the painted labels; of two labels the one in front wins.
        QAccessibleInterface* childAt(int x, int y) const override
        {
            const auto shownAt = [x, y](QAccessibleInterface* child) {
                return child && !child->state().invisible && child->rect().contains(x, y);
            };
            for (int i = labelCount(); i < childCount(); ++i) {
                if (QAccessibleInterface* above = child(i); shownAt(above))
                    return above;
            }
            const auto* surface = qobject_cast<const ControlSurface*>(widget());
            for (const Label* label : surface ? surface->labels() : std::vector<const Label*>()) {
                if (QAccessibleInterface* found = labelInterface(*label); shownAt(found))
                    return found;
            }
            return nullptr;
        }

        QAccessibleInterface* labelInterface(const Label& label) const
        {
            for (const QAccessible::Id id : ownLabelIds()) {
                auto* candidate
                    = dynamic_cast<AccessibleLabel*>(QAccessible::accessibleInterface(id));
                if (candidate && &candidate->label() == &label)
                    return candidate;
            }
            return nullptr;
        }

    private:
        int labelCount() const { return int(ownLabelIds().size()); }

        // A label for which a button of the surface takes the keys is that button to assistive
        // technology, which it tells of its focus and its checking.
        std::vector<QAccessible::Id> ownLabelIds() const
        {
            const QList<PaintedLabelButton*> buttons
                = widget()->findChildren<PaintedLabelButton*>(Qt::FindDirectChildrenOnly);
            std::vector<QAccessible::Id> own;
            for (const QAccessible::Id id : labelIds_) {
                const auto* label
                    = dynamic_cast<AccessibleLabel*>(QAccessible::accessibleInterface(id));
                const auto standsFor = [label](const PaintedLabelButton* button) {
                    return label && &button->label() == &label->label();
                };
                if (std::none_of(buttons.begin(), buttons.end(), standsFor))
                    own.push_back(id);
            }
            return own;
        }

        QString name_;
        std::vector<QAccessible::Id> labelIds_;
    };

    // How the settings panel shows a button's group: by the caption beside it, or, for the
    // letter cases, which have none, by words of their own. The buttons are known by the names of
    // the form's controls.
    struct Group {
        const Label* caption = nullptr;
        QString description;
    };

    Group groupOf(const Form1& f, const QObject& button)
    {
        const auto* painted = qobject_cast<const PaintedLabelButton*>(&button);
        if (painted && isCaseLabel(f, painted->label()))
            return { nullptr, u"Letter case"_s };
        const QString name = button.objectName();
        if (name.startsWith(u"Option"))
            return { &f.Label7, {} };
        if (name.startsWith(u"Command"))
            return { &f.Label12, {} };
        return {};
    }

    // A button of the settings panel: a choice of a group (a speed, a level, a letter case),
    // checked while chosen, or Cancel or Ok. It is labelled by its group's caption, so that a
    // screen reader says which setting the choice is of.
    class AccessiblePanelButton final : public QAccessibleWidget {
    public:
        explicit AccessiblePanelButton(QAbstractButton& button)
            : QAccessibleWidget(&button)
        {
        }

        QAccessible::Role role() const override
        {
            return button() && !button()->isCheckable() ? QAccessible::Button
                                                        : QAccessible::RadioButton;
        }

        QString text(QAccessible::Text kind) const override
        {
            if (kind == QAccessible::Name && button())
                return button()->text();
            if (kind == QAccessible::Description && frame())
                return groupOf(frame()->form(), *object()).description;
            return QAccessibleWidget::text(kind);
        }

        QAccessible::State state() const override
        {
            QAccessible::State state = QAccessibleWidget::state();
            state.checkable = role() == QAccessible::RadioButton;
            state.checked = button() && button()->isChecked();
            return state;
        }

        QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> relations(
            QAccessible::Relation match) const override
        {
            const Label* caption = frame() && (match & QAccessible::Label)
                ? groupOf(frame()->form(), *object()).caption
                : nullptr;
            const auto* panel = caption
                ? dynamic_cast<AccessibleSurface*>(QAccessible::queryAccessibleInterface(frame()))
                : nullptr;
            if (QAccessibleInterface* label = panel ? panel->labelInterface(*caption) : nullptr)
                return { { label, QAccessible::Label } };
            return {};
        }

        QStringList actionNames() const override
        {
            QStringList names { pressAction() };
            if (role() == QAccessible::RadioButton)
                names << toggleAction();
            return names + QAccessibleWidget::actionNames();
        }

        // The press is a click of the button, as the mouse or the Space key makes it.
        void doAction(const QString& actionName) override
        {
            if (actionName != pressAction() && actionName != toggleAction())
                QAccessibleWidget::doAction(actionName);
            else if (button())
                button()->click();
        }

        // The keys that stand for Cancel's and Ok's clicks, wherever the focus is.
        QStringList keyBindingsForAction(const QString& actionName) const override
        {
            const auto* painted = qobject_cast<const PaintedLabelButton*>(object());
            return painted && frame() && actionName == pressAction()
                ? keysOf(frame()->form(), painted->label())
                : QStringList();
        }

    private:
        QAbstractButton* button() const { return qobject_cast<QAbstractButton*>(widget()); }
        SettingsFrame* frame() const
        {
            return widget() ? widget()->window()->findChild<SettingsFrame*>() : nullptr;
        }
    };

    // The window: its widgets, then its news line.
    class AccessibleWindow final : public QAccessibleWidget {
    public:
        explicit AccessibleWindow(QWidget& window)
            : QAccessibleWidget(&window, QAccessible::Window)
            , newsId_(QAccessible::registerAccessibleInterface(new AccessibleNewsLine(window)))
        {
        }

        ~AccessibleWindow() override { QAccessible::deleteAccessibleInterface(newsId_); }

        AccessibleWindow(const AccessibleWindow&) = delete;
        AccessibleWindow& operator=(const AccessibleWindow&) = delete;

        AccessibleNewsLine* news() const
        {
            return dynamic_cast<AccessibleNewsLine*>(QAccessible::accessibleInterface(newsId_));
        }

        int childCount() const override { return QAccessibleWidget::childCount() + 1; }

        QAccessibleInterface* child(int index) const override
        {
            return index == childCount() - 1 ? news() : QAccessibleWidget::child(index);
        }

        int indexOfChild(const QAccessibleInterface* child) const override
        {
            return child && child == news() ? childCount() - 1
                                            : QAccessibleWidget::indexOfChild(child);
        }

    private:
        QAccessible::Id newsId_;
    };

    QAccessibleInterface* makeInterface(const QString&, QObject* object)
    {
        if (auto* frame = qobject_cast<SettingsFrame*>(object))
            return new AccessibleSurface(
                *frame, QAccessible::Grouping, frame->form().Label5.Caption);
        if (auto* surface = qobject_cast<ControlSurface*>(object))
            return new AccessibleSurface(*surface, QAccessible::Client, QString());
        if (auto* button = qobject_cast<QAbstractButton*>(object))
            return new AccessiblePanelButton(*button);
        if (auto* window = qobject_cast<MainWindow*>(object))
            return new AccessibleWindow(*window);
        return nullptr;
    }

    void announce(QAccessibleInterface* control, QAccessible::Event kind)
    {
        QAccessibleEvent event(control, kind);
        QAccessible::updateAccessibility(&event);
    }

    template <typename Control> void announce(Control* control, void (*mark)(QAccessible::State&))
    {
        QAccessible::State changed;
        mark(changed);
        QAccessibleStateChangeEvent event(control, changed);
        QAccessible::updateAccessibility(&event);
    }

    void markEnabled(QAccessible::State& state) { state.disabled = true; }
    void markChecked(QAccessible::State& state) { state.checked = true; }

}

AccessibleControls::AccessibleControls() { QAccessible::installFactory(&makeInterface); }

AccessibleControls::~AccessibleControls() { QAccessible::removeFactory(&makeInterface); }

void AccessibleControls::labelChanged(
    ControlSurface& surface, const Label& label, const LabelLook& before, const LabelLook& now)
{
    if (!QAccessible::isActive())
        return;
    changes_.push_back(
        { &surface, &label, before.caption != now.caption, before.enabled != now.enabled,
            before.bordered != now.bordered, before.visible != now.visible, now.visible });
}

void AccessibleControls::refreshed(QWidget& window, const Form1& f)
{
    if (!QAccessible::isActive()) {
        changes_.clear();
        return;
    }
    const Told now { f.paused, f.Frame1.Visible, f.lblOver.Visible, f.Label1.Visible,
        f.Label1.Caption, f.Label1.Top };
    const Told before = std::exchange(told_, now);
    QStringList news;
    if (now.paused != before.paused)
        news << (now.paused ? u"Paused"_s : u"Resumed"_s);
    const qsizetype opened = now.panelShown && !before.panelShown ? news.size() : -1;
    if (opened >= 0)
        news << f.Label5.Caption + u" open, focus on "_s;
    if (!now.panelShown && before.panelShown)
        news << f.Label5.Caption + u" closed"_s;
    if (now.over && !before.over)
        news << f.lblOver.Caption;
    // A new target shows, or comes back to the top where it starts.
    if (now.targetShown
        && (!before.targetShown || now.target != before.target || now.targetTop < before.targetTop))
        news << spokenLetters(now.target);
    if (news.isEmpty() && changes_.empty())
        return;
    // Told once the event that brought them is done: the keyboard focus is where it goes, and the
    // frame that shows a typed letter is out before the screen reader's questions come.
    QTimer::singleShot(
        0, &window, [&window, changes = std::exchange(changes_, {}), news, opened]() mutable {
            for (const LabelChange& change : changes)
                tell(change);
            auto* holder
                = dynamic_cast<AccessibleWindow*>(QAccessible::queryAccessibleInterface(&window));
            AccessibleNewsLine* line = holder ? holder->news() : nullptr;
            if (!line)
                return;
            if (opened >= 0) {
                QAccessibleInterface* focus
                    = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
                news[opened] += focus ? focus->text(QAccessible::Name) : QString();
            }
            for (const QString& piece : std::as_const(news))
                line->tell(piece);
        });
}

void AccessibleControls::tell(const LabelChange& change)
{
    auto* holder = dynamic_cast<AccessibleSurface*>(
        QAccessible::queryAccessibleInterface(change.surface.data()));
    QAccessibleInterface* control = holder ? holder->labelInterface(*change.label) : nullptr;
    if (!control)
        return;
    if (change.renamed)
        announce(control, QAccessible::NameChanged);
    if (change.enabledChanged)
        announce(control, &markEnabled);
    if (change.borderChanged && control->role() == QAccessible::RadioButton)
        announce(control, &markChecked);
    if (change.visibleChanged)
        announce(control, change.visible ? QAccessible::ObjectShow : QAccessible::ObjectHide);
}

}
