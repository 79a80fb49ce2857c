#include "designer/DesignerPlugin.h"

#include "designer/FormContainer.h"
#include "platform/msgbox/MsgBox.h"
#include "platform/skin/SkinComponent.h"
#include "ui/FormLoader.h"

#include <QIcon>
#include <QWidget>

#include <array>

namespace {

const QLatin1String FormClass("Tfrm_Jointrix");

// Headers and bases as the form description declares them in its <customwidgets>, so that
// Designer writes that section back unchanged.
const std::array<DesignerClass, 9> Classes = {{
    {"Tfrm_Jointrix", "QWidget", "ui/U_Main.h", "The calculator window: the form's root", true},
    {"TLxEdit", "QLineEdit", "controls/LxEdit.h", "Numeric edit field, whole or real", false},
    {"TGroupBox", "QGroupBox", "platform/panel/GroupBox.h", "Group box with a colour of its own",
     true},
    {"TPanel", "QWidget", "platform/panel/Panel.h", "Panel with an outer and an inner bevel", true},
    {"TRxRichEdit", "QTextEdit", "ui/RichEdit.h", "Rich-text report view", false},
    {"TbsSkinButton", "QPushButton", "platform/skin/SkinButton.h",
     "Push button with a glyph strip, drawn with a skin", false},
    {"TbsSkinData", "QWidget", "platform/skin/SkinData.h",
     "Skin data store (not shown at run time)", false},
    {"TbsSkinMessage", "QWidget", "platform/skin/SkinMessage.h",
     "Skinned message box (not shown at run time)", false},
    {"TbsBusinessSkinForm", "QWidget", "platform/skin/SkinForm.h",
     "Skinned window frame (not shown at run time)", false},
}};

} // namespace

DesignerWidget::DesignerWidget(const DesignerClass &info, QObject *parent)
    : QObject(parent)
    , m_info(info)
{ }

QString DesignerWidget::name() const
{
    return QLatin1String(m_info.name);
}

QString DesignerWidget::group() const
{
    return QStringLiteral("Jointrix");
}

QString DesignerWidget::toolTip() const
{
    return QLatin1String(m_info.toolTip);
}

QString DesignerWidget::whatsThis() const
{
    return toolTip();
}

QString DesignerWidget::includeFile() const
{
    return QLatin1String(m_info.header);
}

QIcon DesignerWidget::icon() const
{
    return {};
}

bool DesignerWidget::isContainer() const
{
    return m_info.container;
}

QWidget *DesignerWidget::createWidget(QWidget *parent)
{
    const QString className = name();
    QWidget *widget
        = className == FormClass ? CreateFormContainer(parent) : CreateComponent(className, parent);
    if (auto *component = qobject_cast<TbsComponent *>(widget))
        component->setPlaceholder(true);
    return widget;
}

QString DesignerWidget::domXml() const
{
    // A new instance is named like the form's own: the class without its T, numbered.
    const QString className = name();
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"%1\" name=\"%2\"/>\n"
                          " <customwidgets>\n"
                          "  <customwidget>\n"
                          "   <class>%1</class>\n"
                          "   <extends>%3</extends>\n"
                          "   <header>%4</header>\n"
                          "   <container>%5</container>\n"
                          "  </customwidget>\n"
                          " </customwidgets>\n"
                          "</ui>\n")
        .arg(className, className.mid(1) + QLatin1Char('1'), QLatin1String(m_info.extends),
             includeFile(), QLatin1String(m_info.container ? "1" : "0"));
}

DesignerWidgets::DesignerWidgets(QObject *parent)
    : QObject(parent)
{
    // Designer runs none of the form's behaviour: whatever a field would say (a range check
    // in the form preview) goes nowhere instead of opening a box. The widget libraries are
    // this plugin's own copy, so the handler reaches no other code in the process.
    msgbox::setHandler([](const msgbox::Request &) {});
    for (const DesignerClass &info : Classes)
        m_widgets << new DesignerWidget(info, this);
}

QList<QDesignerCustomWidgetInterface *> DesignerWidgets::customWidgets() const
{
    return m_widgets;
}
