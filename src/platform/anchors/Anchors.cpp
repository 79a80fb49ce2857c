#include "platform/anchors/Anchors.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>

namespace anchors {

Edges parseEdges(QStringView text)
{
    Edges edges;
    for (QStringView part : text.tokenize(u',')) {
        for (QStringView name : part.tokenize(u'|')) {
            name = name.trimmed();
            if (name.compare(u"left", Qt::CaseInsensitive) == 0)
                edges |= Edge::Left;
            else if (name.compare(u"top", Qt::CaseInsensitive) == 0)
                edges |= Edge::Top;
            else if (name.compare(u"right", Qt::CaseInsensitive) == 0)
                edges |= Edge::Right;
            else if (name.compare(u"bottom", Qt::CaseInsensitive) == 0)
                edges |= Edge::Bottom;
        }
    }
    return edges;
}

namespace {

// One axis: the control's start and length for a parent grown by `delta`.
void placeAxis(bool startAnchored, bool endAnchored, int start, int length, int delta,
               int &outStart, int &outLength)
{
    outStart = start;
    outLength = length;
    if (startAnchored && endAnchored)
        outLength = length + delta;
    else if (endAnchored)
        outStart = start + delta;
}

} // namespace

QRect place(Edges edges, const QRect &designRect, const QSize &designParentSize,
            const QSize &parentSize)
{
    int x = 0;
    int width = 0;
    int y = 0;
    int height = 0;
    placeAxis(edges.testFlag(Edge::Left), edges.testFlag(Edge::Right), designRect.x(),
              designRect.width(), parentSize.width() - designParentSize.width(), x, width);
    placeAxis(edges.testFlag(Edge::Top), edges.testFlag(Edge::Bottom), designRect.y(),
              designRect.height(), parentSize.height() - designParentSize.height(), y, height);
    return QRect(x, y, std::max(width, 0), std::max(height, 0));
}

void Keeper::attachTree(QWidget *root)
{
    bool anchored = false;
    const QList<QWidget *> children = root->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        const Edges edges = parseEdges(child->property(PropertyName).toString());
        if (edges != (Edges(Edge::Left) | Edge::Top) && child->property(PropertyName).isValid())
            anchored = true;
        attachTree(child);
    }
    if (anchored)
        new Keeper(root);
}

Keeper::Keeper(QWidget *parent)
    : QObject(parent)
    , m_parent(parent)
    , m_designSize(parent->size())
{
    const QList<QWidget *> children = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        const QVariant property = child->property(PropertyName);
        if (!property.isValid())
            continue;
        m_entries.append({child, parseEdges(property.toString()), child->geometry()});
    }
    parent->installEventFilter(this);
}

void Keeper::apply()
{
    const QSize size = m_parent->size();
    for (const Entry &entry : std::as_const(m_entries)) {
        if (entry.widget)
            entry.widget->setGeometry(place(entry.edges, entry.designRect, m_designSize, size));
    }
}

bool Keeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_parent && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

} // namespace anchors
