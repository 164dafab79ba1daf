#include "FileDragDrop.h"

#include "LosslessNames.h"

#include <QAbstractScrollArea>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>

namespace zelvorin {

// How close to the top or bottom edge a dragged pointer scrolls the list.
constexpr int ScrollMargin = 12;

DropTargetError::DropTargetError(const QString& message)
    : std::runtime_error(message.toStdString()) {}

Qt::DropActions ToDropActions(TDragTypes types) {
    return Qt::DropActions(types.toInt() & (Qt::CopyAction | Qt::MoveAction | Qt::LinkAction));
}

Qt::DropActions FileDropEffect(bool ownDrag, Qt::KeyboardModifiers modifiers, bool haveFiles,
                               bool sameFileSystem, Qt::DropActions offered) {
    if (ownDrag)
        return Qt::IgnoreAction;
    const bool keys = modifiers & (Qt::ControlModifier | Qt::ShiftModifier);
    if (!keys && haveFiles && (offered & (Qt::CopyAction | Qt::MoveAction)))
        return sameFileSystem ? Qt::MoveAction : Qt::CopyAction;
    return offered;
}

Qt::DropAction ChosenDropAction(Qt::DropActions effect, Qt::DropActions possible) {
    for (Qt::DropAction action : {Qt::CopyAction, Qt::MoveAction, Qt::LinkAction}) {
        if ((effect & action) && (possible & action))
            return action;
    }
    return Qt::IgnoreAction;
}

QList<QByteArray> DraggedLocalFiles(const QDropEvent* event) {
    QList<QByteArray> files;
    const QMimeData* data = event->mimeData();
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        // The bytes of the address, not its text: the text of a name that is not UTF-8
        // names no file.
        if (const QByteArray path = platform::rawPathOfUrl(url); !path.isEmpty())
            files.append(path);
    }
    return files;
}

} // namespace zelvorin

TDropFileTarget::TDropFileTarget(QObject* parent) : QObject(parent) {}

TDropFileTarget::~TDropFileTarget() {
    Unregister();
}

void TDropFileTarget::Register(QWidget* control) {
    if (control == nullptr)
        throw zelvorin::DropTargetError(QStringLiteral("Failed to Register "));
    Unregister();
    m_control = control;
    // Drags over a scroll area arrive at its viewport.
    auto* area = qobject_cast<QAbstractScrollArea*>(control);
    m_dropSite = area != nullptr ? area->viewport() : control;
    control->setAcceptDrops(true);
    m_dropSite->setAcceptDrops(true);
    m_dropSite->installEventFilter(this);
}

void TDropFileTarget::Unregister() {
    if (m_dropSite) {
        m_dropSite->removeEventFilter(this);
        m_dropSite->setAcceptDrops(false);
    }
    if (m_control)
        m_control->setAcceptDrops(false);
    m_control = nullptr;
    m_dropSite = nullptr;
    m_files.clear();
}

Qt::DropActions TDropFileTarget::DecideEffect(QDropEvent* event) {
    Qt::DropActions effect = event->possibleActions() & zelvorin::ToDropActions(m_dragtypes);
    if (m_onGetDropEffect)
        m_onGetDropEffect(event->modifiers(), event->position().toPoint(), effect);
    return effect;
}

void TDropFileTarget::ScrollNearEdge(QPoint position) {
    auto* area = qobject_cast<QAbstractScrollArea*>(m_control.data());
    if (area == nullptr)
        return;
    QScrollBar* bar = area->verticalScrollBar();
    if (position.y() < zelvorin::ScrollMargin)
        bar->setValue(bar->value() - bar->singleStep());
    else if (position.y() > m_dropSite->height() - zelvorin::ScrollMargin)
        bar->setValue(bar->value() + bar->singleStep());
}

bool TDropFileTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_dropSite)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (event->type() == QEvent::DragEnter) {
            m_files = m_getDataOnEnter ? zelvorin::DraggedLocalFiles(drag) : QList<QByteArray>();
            // A drag that carries no local files is not for this target.
            if (m_getDataOnEnter && m_files.isEmpty()) {
                drag->ignore();
                return true;
            }
        } else {
            ScrollNearEdge(drag->position().toPoint());
        }
        const Qt::DropAction action =
            zelvorin::ChosenDropAction(DecideEffect(drag), drag->possibleActions());
        drag->setDropAction(action);
        if (action == Qt::IgnoreAction)
            drag->ignore();
        else
            drag->accept();
        return true;
    }
    case QEvent::DragLeave:
        m_files.clear();
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!m_getDataOnEnter || m_files.isEmpty())
            m_files = zelvorin::DraggedLocalFiles(drop);
        Qt::DropActions effect = DecideEffect(drop);
        if (m_onDrop && effect != Qt::IgnoreAction)
            m_onDrop(drop->modifiers(), drop->position().toPoint(), effect);
        const Qt::DropAction action = zelvorin::ChosenDropAction(effect, drop->possibleActions());
        drop->setDropAction(action);
        if (action == Qt::IgnoreAction)
            drop->ignore();
        else
            drop->accept();
        m_files.clear();
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

TDropFileSource::TDropFileSource(QObject* parent) : QObject(parent) {}

Qt::DropAction TDropFileSource::Execute(QWidget* source) {
    QList<QUrl> urls;
    for (const QByteArray& file : std::as_const(m_files))
        urls.append(zelvorin::platform::fileUrl(file));
    if (urls.isEmpty() || source == nullptr)
        return Qt::IgnoreAction;
    const Qt::DropActions offered = zelvorin::ToDropActions(m_dragtypes);
    // The platform's drag loop deletes the drag object itself when it ends.
    auto* drag = new QDrag(source);
    auto* data = new QMimeData;
    data->setUrls(urls);
    drag->setMimeData(data);
    Qt::DropAction result = Qt::IgnoreAction;
    if (m_runner) {
        result = m_runner(*drag, offered);
        drag->deleteLater();
    } else {
        result = drag->exec(offered, Qt::CopyAction);
    }
    TDragType type;
    switch (result) {
    case Qt::CopyAction:
        type = TDragType::dtCopy;
        break;
    case Qt::MoveAction:
    case Qt::TargetMoveAction:
        type = TDragType::dtMove;
        break;
    case Qt::LinkAction:
        type = TDragType::dtLink;
        break;
    default:
        return Qt::IgnoreAction;
    }
    if (m_onDrop && m_dragtypes.testFlag(type)) {
        bool continueDrop = true;
        m_onDrop(type, continueDrop);
    }
    return result;
}
