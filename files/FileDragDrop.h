// Files given to and taken from other programs by drag and drop. TDropFileTarget makes a
// control accept dropped local files (the "text/uri-list" format) and leaves the choice
// of effect and the work of a drop to its owner's handlers; TDropFileSource drags a list
// of paths out to any program that takes files. Paths are raw bytes, carried in the
// file:// addresses %XX-escaped, so a name that is not UTF-8 travels as itself. Effects
// keep the platform's values: copy 1, move 2, link 4, none 0 (Qt::DropAction has the same
// ones).
#pragma once

#include <QByteArray>
#include <QFlags>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <stdexcept>

class QDrag;
class QDropEvent;
class QWidget;

enum class TDragType { dtCopy = 1, dtMove = 2, dtLink = 4 };
Q_DECLARE_FLAGS(TDragTypes, TDragType)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDragTypes)

namespace zelvorin {

// Raised when a control cannot be registered as a drop target or unregistered.
class DropTargetError : public std::runtime_error {
public:
    explicit DropTargetError(const QString& message);
    QString message() const { return QString::fromUtf8(what()); }
};

Qt::DropActions ToDropActions(TDragTypes types);

// The effect the file list answers to a drag over it, from the effects the source offers
// (already reduced to the accepted ones):
// - none while the drag is the list's own;
// - with neither Ctrl nor Shift held, files dragged and copy or move offered: move when
//   the first file lies on the same file system as the shown folder, else copy;
// - otherwise the offered effects as they are.
Qt::DropActions FileDropEffect(bool ownDrag, Qt::KeyboardModifiers modifiers, bool haveFiles,
                               bool sameFileSystem, Qt::DropActions offered);

// The single action answered to the source for an effect: copy before move before link,
// and only one the source offers; IgnoreAction when none fits.
Qt::DropAction ChosenDropAction(Qt::DropActions effect, Qt::DropActions possible);

// The local paths a drag carries, as raw bytes, in the source's order.
QList<QByteArray> DraggedLocalFiles(const QDropEvent* event);

} // namespace zelvorin

class TDropFileTarget : public QObject {
    Q_OBJECT
public:
    explicit TDropFileTarget(QObject* parent);
    ~TDropFileTarget() override;

    TDragTypes Dragtypes() const { return m_dragtypes; }
    void SetDragtypes(TDragTypes types) { m_dragtypes = types; }
    bool GetDataOnEnter() const { return m_getDataOnEnter; }
    void SetGetDataOnEnter(bool read) { m_getDataOnEnter = read; }
    bool ShowImage() const { return m_showImage; }
    void SetShowImage(bool show) { m_showImage = show; }

    // The dragged files (raw paths) while a drag is over the control; empty otherwise.
    const QList<QByteArray>& Files() const { return m_files; }

    // Both handlers get the keys held, the pointer in the control's coordinates and the
    // effect; what the effect handler leaves is the answer to the source, what the drop
    // handler leaves is reported to the source as the outcome.
    using EffectHandler = std::function<void(Qt::KeyboardModifiers, QPoint, Qt::DropActions&)>;
    void SetOnGetDropEffect(EffectHandler handler) { m_onGetDropEffect = std::move(handler); }
    void SetOnDrop(EffectHandler handler) { m_onDrop = std::move(handler); }

    // Makes the control (for a scroll area: its viewport) accept drops. Raises
    // zelvorin::DropTargetError "Failed to Register <name>" without a control.
    void Register(QWidget* control);
    // Ends the registration; nothing happens once the control is gone.
    void Unregister();
    bool Registered() const { return !m_control.isNull(); }
    QWidget* Control() const { return m_control; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Qt::DropActions DecideEffect(QDropEvent* event);
    void ScrollNearEdge(QPoint position);

    TDragTypes m_dragtypes = TDragType::dtCopy | TDragType::dtMove;
    bool m_getDataOnEnter = true;
    bool m_showImage = true;
    QList<QByteArray> m_files;
    EffectHandler m_onGetDropEffect;
    EffectHandler m_onDrop;
    QPointer<QWidget> m_control;
    QPointer<QWidget> m_dropSite;
};

class TDropFileSource : public QObject {
    Q_OBJECT
public:
    explicit TDropFileSource(QObject* parent);

    TDragTypes Dragtypes() const { return m_dragtypes; }
    void SetDragtypes(TDragTypes types) { m_dragtypes = types; }
    bool ShowImage() const { return m_showImage; }
    void SetShowImage(bool show) { m_showImage = show; }

    // The full raw paths offered. MappedNames (other names for the same files) is kept
    // for the owner only: the desktops have no drop format for it, and the main window
    // leaves it empty.
    QList<QByteArray>& Files() { return m_files; }
    QStringList& MappedNames() { return m_mappedNames; }

    // Raised once a target has taken the drop, with the effect it chose.
    using DropHandler = std::function<void(TDragType, bool& continueDrop)>;
    void SetOnDrop(DropHandler handler) { m_onDrop = std::move(handler); }

    // Runs the drag until it is dropped or cancelled; IgnoreAction when nothing was
    // dropped (or there was nothing to drag).
    Qt::DropAction Execute(QWidget* source);

    // Runs a prepared drag in place of the platform's drag loop (tests).
    using DragRunner = std::function<Qt::DropAction(QDrag& drag, Qt::DropActions offered)>;
    void SetDragRunner(DragRunner runner) { m_runner = std::move(runner); }

private:
    TDragTypes m_dragtypes = TDragType::dtCopy | TDragType::dtMove | TDragType::dtLink;
    bool m_showImage = false;
    QList<QByteArray> m_files;
    QStringList m_mappedNames;
    DropHandler m_onDrop;
    DragRunner m_runner;
};
