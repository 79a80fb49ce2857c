#pragma once

#include <QFlags>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QVector>

class QWidget;

// Anchors: a control keeps its distance, in pixels, to each edge of its parent that it is
// anchored to, and grows with the parent when anchored to two opposite edges. Qt lays out with
// layouts; a stored form description places controls at fixed positions, so this small
// mechanism keeps them where the description says as the parent is resized.
//
// A control names its edges in the dynamic property "Anchors", a text of edge names separated by
// commas or '|' ("left, top, right"). A control without the property is anchored left and top,
// which never moves it.
namespace anchors {

enum class Edge : quint8 {
    Left = 0x1,
    Top = 0x2,
    Right = 0x4,
    Bottom = 0x8,
};
Q_DECLARE_FLAGS(Edges, Edge)
Q_DECLARE_OPERATORS_FOR_FLAGS(Edges)

inline constexpr char PropertyName[] = "Anchors";

// Parses an edge list; unknown names are ignored.
Edges parseEdges(QStringView text);

// Where a control anchored to `edges` stands in a parent of size `parentSize`, when it stood at
// `designRect` in a parent of size `designParentSize`.
QRect place(Edges edges, const QRect &designRect, const QSize &designParentSize,
            const QSize &parentSize);

// Keeps the anchored children of one parent in place. It records the children's geometry and
// the parent's size when it is attached (the design), and applies the anchors on every resize
// of the parent. It is a child of the parent and goes with it.
class Keeper : public QObject
{
    Q_OBJECT

public:
    // Attaches keepers to `root` and to every widget below it that has anchored children.
    static void attachTree(QWidget *root);

    explicit Keeper(QWidget *parent);

    // Applies the anchors for the parent's current size.
    void apply();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry
    {
        QPointer<QWidget> widget;
        Edges edges;
        QRect designRect;
    };

    QWidget *m_parent;
    QSize m_designSize;
    QVector<Entry> m_entries;
};

} // namespace anchors
