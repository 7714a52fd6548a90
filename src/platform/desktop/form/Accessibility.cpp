#include "platform/desktop/form/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>

#include "platform/desktop/form/Widgets.h"

namespace platform {

namespace {

// The label as a reader meets it: static text that takes the focus, whose
// text is the page without its prompt mark, and whose one action does what a
// click does. Its name (set with the widget) says what it is and how to go
// on, never the page: a reader speaks a focused label by its name, and the
// page is spoken by the announcement when it comes to rest, so a page that
// the name carried would be heard twice, or cut short when the focus came
// while it was still rolling in.
class LabelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit LabelAccessible(LabelWidget* w) : QAccessibleWidget(w, QAccessible::StaticText) {}

    LabelWidget* label() const { return static_cast<LabelWidget*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        return s;
    }

    // One action, the one a click is.
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && label()->isEnabled() && label()->clicked) label()->clicked();
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        return name == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
    }

    // Text: read-only, no caret or selection of its own. The widget's own
    // text(Text) stays as it is beside it.
    using QAccessibleWidget::text;
    QString text(int start, int end) const override {
        const QString& r = label()->readable;
        start = std::clamp<int>(start, 0, r.size());
        end = end < 0 ? r.size() : std::clamp<int>(end, start, r.size());
        return r.mid(start, end - start);
    }
    int characterCount() const override { return label()->readable.size(); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    // One run of plain text over the whole page: a reader that walks the
    // runs must always get one that moves it on.
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

// Whether a reader can hear the program now. Accessibility comes on when a
// screen reader asks for it, which may be after the window has shown and its
// first page has come to rest: the link to the reader is set up while the
// program runs, and a slow start sets it up late. Followed through the
// toolkit's notices of the switch (the way a test switches it too).
class Listening final : public QAccessible::ActivationObserver {
  public:
    static Listening& instance() {
        // Never removed: the toolkit's list of observers may be gone before
        // the end of a static one.
        static Listening* const listening = new Listening;
        return *listening;
    }
    bool on() const { return on_; }
    void accessibilityActiveChanged(bool active) override;

  private:
    Listening() : on_(QAccessible::isActive()) { QAccessible::installActivationObserver(this); }
    bool on_;
};

// Screen readers ignore a label's changes of name, and speak a text change
// only when the player typed it. What they do speak at once is a
// notification that appears: the label announces a page through one of its
// own, an empty speck that takes neither the pointer nor the focus, and that
// is there only while the page it announced rests.
//
// One that appeared while no reader could hear it (the link to the reader
// not up yet) appears again once one can, in the active window: at once if
// the window is active, else as it becomes active, after the reader has been
// told of the window and of the focus in it. One that appeared in a window
// that was not active is not made again: a reader hears it where it appears
// (Orca speaks it at once), and would hear it twice.
class Announcer final : public QWidget {
  public:
    explicit Announcer(QWidget* label) : QWidget(label) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 0, 0);
        window()->installEventFilter(this);
    }
    void announce(const QString& text) {
        hide();
        setAccessibleName(text);
        show();
        unheard_ = !Listening::instance().on();
    }
    void withdraw() {
        hide();
        unheard_ = false;
    }
    // Later, once the toolkit has told the reader what comes with the change
    // (the window, then the focus in it; or, as the link comes up, the
    // program itself): a reader speaks in the order it hears.
    void deliverLater() {
        QMetaObject::invokeMethod(
            this, [this] { deliver(); }, Qt::QueuedConnection);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate && watched == window()) deliverLater();
        return false;
    }

  private:
    void deliver() {
        if (unheard_ && !isHidden() && isActiveWindow() && Listening::instance().on())
            announce(accessibleName());
    }
    bool unheard_ = false;
};

void Listening::accessibilityActiveChanged(bool active) {
    on_ = active;
    if (!active) return;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* announcer = dynamic_cast<Announcer*>(w)) announcer->deliverLater();
}

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* announcer = dynamic_cast<Announcer*>(object))
        return new QAccessibleWidget(announcer, QAccessible::Notification);
    if (auto* label = dynamic_cast<LabelWidget*>(object)) return new LabelAccessible(label);
    // Readers expect a top-level window to be a frame (the default would be
    // a filler); its name is the window title.
    if (auto* form = dynamic_cast<FormWidget*>(object))
        return new QAccessibleWidget(form, QAccessible::Window);
    return nullptr;
}

// Shows `text` in the label's notification, made on the first one.
void announceText(LabelWidget& label, const QString& text) {
    if (text.isEmpty()) return;
    if (!label.announcer) label.announcer = new Announcer(&label);
    static_cast<Announcer*>(label.announcer)->announce(text);
}

}  // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        Listening::instance();
        return true;
    }();
    (void)installed;
}

void labelCaptionChanged(LabelWidget& label) {
    QString now = label.text();
    bool resting = false;
    for (const QString& mark : label.restingMarks) {
        if (!mark.isEmpty() && now.endsWith(mark)) {
            now.chop(mark.size());
            resting = true;
            break;
        }
    }
    now.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // Every page opens with a blank row; there is nothing in it to read.
    qsizetype blank = 0;
    while (blank < now.size() && now[blank] == u'\n') ++blank;
    now.remove(0, blank);

    const QString before = label.readable;
    label.readable = now;
    const bool grew = now.startsWith(before);
    if (!grew) label.announcedUpTo = 0;
    // Nothing listens unless a reader (or the environment) switched it on.
    if (QAccessible::isActive() && now != before) {
        if (grew) {
            QAccessibleTextInsertEvent inserted(&label, before.size(), now.mid(before.size()));
            QAccessible::updateAccessibility(&inserted);
        } else {
            QAccessibleTextUpdateEvent replaced(&label, 0, before, now);
            QAccessible::updateAccessibility(&replaced);
        }
    }

    auto* announcer = static_cast<Announcer*>(label.announcer);
    if (!resting) {
        if (announcer) announcer->withdraw();
        return;
    }
    // Only what came since the last rest: on a page that waits after each
    // line, each line is announced as it comes. Announced whether or not a
    // reader listens yet, so that one that comes later finds the page at rest.
    QString announce = now.mid(label.announcedUpTo);
    while (announce.startsWith(u'\n')) announce.remove(0, 1);
    label.announcedUpTo = now.size();
    announceText(label, announce);
}

void labelAnnounceAll(LabelWidget& label) {
    label.announcedUpTo = label.readable.size();
    announceText(label, label.readable);
}

}  // namespace platform
