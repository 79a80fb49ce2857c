#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

// What Designer is told about one class of the form description.
struct DesignerClass
{
    const char *name;
    const char *extends;
    const char *header; // as the description's <customwidgets> names it
    const char *toolTip;
    bool container;
};

// One class for Designer's widget box and its form builder. The widgets it makes are the
// real classes, from the one component factory, made inert for design: the skin components
// show as placeholders and the form's root is a plain container.
class DesignerWidget final : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit DesignerWidget(const DesignerClass &info, QObject *parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget *createWidget(QWidget *parent) override;
    QString domXml() const override;

private:
    DesignerClass m_info;
    QString m_extends;
};

// The plugin: every class the form description names beyond Qt's.
class DesignerWidgets final : public QObject, public QDesignerCustomWidgetCollectionInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit DesignerWidgets(QObject *parent = nullptr);

    QList<QDesignerCustomWidgetInterface *> customWidgets() const override;

private:
    QList<QDesignerCustomWidgetInterface *> m_widgets;
};
