// The Designer plugin as Designer uses it: loaded by file name, asked for its classes, making
// widgets, and the form description written back and read again through Qt's form builder with
// the plugin's widgets. The test links none of the widget libraries: every class it sees is the
// plugin's own, as in Designer's process.

#include <QApplication>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFormBuilder>
#include <QIcon>
#include <QImage>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QPainter>
#include <QPixmap>
#include <QPluginLoader>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <memory>

namespace {

const QString FormFile = QStringLiteral(JOINTRIX_FORM_DESCRIPTION);

// The first Qt class a class of ours derives from.
const QMetaObject *qtBase(const QMetaObject *meta)
{
    while (meta && meta->className()[0] != 'Q')
        meta = meta->superClass();
    return meta;
}

QByteArray imageDigest(const QImage &image)
{
    if (image.isNull())
        return "null";
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(
        QByteArrayView(reinterpret_cast<const char *>(argb.constBits()), argb.sizeInBytes()));
    return QByteArray::number(argb.width()) + 'x' + QByteArray::number(argb.height()) + ' '
        + hash.result().toHex().left(16);
}

// A value as text that two builds of one description agree on: pictures by their pixels,
// objects by their names, everything else as Qt prints it.
QString describe(const QVariant &value)
{
    if (!value.isValid())
        return QStringLiteral("(no such property)");
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<QPixmap>())
        return QString::fromLatin1("pixmap " + imageDigest(value.value<QPixmap>().toImage()));
    if (type == QMetaType::fromType<QImage>())
        return QString::fromLatin1("image " + imageDigest(value.value<QImage>()));
    if (type == QMetaType::fromType<QIcon>()) {
        const QIcon icon = value.value<QIcon>();
        QString text = QStringLiteral("icon");
        for (const QSize size : icon.availableSizes())
            text
                += QLatin1Char(' ') + QString::fromLatin1(imageDigest(icon.pixmap(size).toImage()));
        return text;
    }
    if (type.flags().testFlag(QMetaType::PointerToQObject)) {
        const QObject *object = value.value<QObject *>();
        return object
            ? QStringLiteral("object %1 named \"%2\"")
                  .arg(QLatin1String(object->metaObject()->className()), object->objectName())
            : QStringLiteral("no object");
    }
    QString text;
    QDebug(&text).nospace() << value;
    return text;
}

// The named widgets of a description, root first, as <widget name="..."> gives them.
QStringList componentNames(const QByteArray &description)
{
    QStringList names;
    QXmlStreamReader xml(description);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement
            && xml.name() == QLatin1String("widget"))
            names << xml.attributes().value(QLatin1String("name")).toString();
    }
    return names;
}

QWidget *component(QWidget *root, const QString &name)
{
    return root->objectName() == name ? root : root->findChild<QWidget *>(name);
}

// Every property a component publishes: its class's and Qt's, and the dynamic ones of the
// description (Anchors, ItemHeight).
QList<QByteArray> publishedProperties(const QObject *object)
{
    QList<QByteArray> names;
    const QMetaObject *meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        if (!names.contains(meta->property(i).name()))
            names << meta->property(i).name();
    }
    names << object->dynamicPropertyNames();
    return names;
}

// The properties our classes add above their Qt base; the form's root adds none.
QList<QMetaProperty> ownProperties(const QMetaObject *meta)
{
    QList<QMetaProperty> properties;
    const int first = qtBase(meta)->propertyCount();
    for (int i = first; i < meta->propertyCount(); ++i)
        properties << meta->property(i);
    return properties;
}

// Qt's form builder as far as it goes. It writes every child widget, where Designer writes the
// form's, and no dynamic property. Its writer takes an enumeration only as a plain number,
// while Qt 6 reads every enumerated property as a value of its own type; Designer's writer
// knows better. What a form cannot hold is left out, as Designer leaves it out: settings
// derived from others (not stored) and links to objects, which a form makes by name.
class FormBuilder final : public QFormBuilder
{
protected:
    // Dynamic properties are settings of the description too (Anchors, ItemHeight).
    QList<DomProperty *> computeProperties(QObject *object) override
    {
        QList<DomProperty *> properties = QFormBuilder::computeProperties(object);
        for (const QByteArray &name : object->dynamicPropertyNames()) {
            if (DomProperty *property
                = createProperty(object, QString::fromLatin1(name), object->property(name)))
                properties << property;
        }
        return properties;
    }

    // A scroll area's viewport and scroll bars are its own, not the form's.
    DomWidget *createDom(QWidget *widget, DomWidget *parent, bool recursive) override
    {
        return QFormBuilder::createDom(widget, parent,
                                       recursive && !widget->inherits("QAbstractScrollArea"));
    }

    DomProperty *createProperty(QObject *object, const QString &name,
                                const QVariant &value) override
    {
        const QMetaObject *meta = object->metaObject();
        const QMetaProperty property = meta->property(meta->indexOfProperty(qPrintable(name)));
        if (property.isValid() && !property.isStored())
            return nullptr;
        if (value.metaType().flags().testFlag(QMetaType::PointerToQObject))
            return nullptr;
        if (property.isEnumType() && value.metaType() != QMetaType::fromType<int>())
            return QFormBuilder::createProperty(object, name, value.toInt());
        return QFormBuilder::createProperty(object, name, value);
    }
};

// Qt's form builder writes no pictures: it has no record of where one came from. Designer keeps
// each picture's resource path with its property; so does this: the stored description's
// pictures go into what was written, by widget and property name.
QByteArray withStoredPictures(const QByteArray &stored, const QByteArray &written)
{
    QDomDocument from;
    QDomDocument to;
    if (!from.setContent(stored) || !to.setContent(written))
        return {};
    const auto widgetsByName = [](const QDomDocument &document) {
        QHash<QString, QDomElement> widgets;
        const QDomNodeList list = document.elementsByTagName(QStringLiteral("widget"));
        for (int i = 0; i < list.size(); ++i) {
            const QDomElement widget = list.at(i).toElement();
            widgets.insert(widget.attribute(QStringLiteral("name")), widget);
        }
        return widgets;
    };
    const QHash<QString, QDomElement> target = widgetsByName(to);
    const QHash<QString, QDomElement> source = widgetsByName(from);
    for (auto it = source.cbegin(); it != source.cend(); ++it) {
        for (QDomElement property = it->firstChildElement(QStringLiteral("property"));
             !property.isNull();
             property = property.nextSiblingElement(QStringLiteral("property"))) {
            const QDomElement value = property.firstChildElement();
            if (value.tagName() == QLatin1String("pixmap")
                || value.tagName() == QLatin1String("iconset")) {
                QDomElement widget = target.value(it.key());
                if (!widget.isNull())
                    widget.appendChild(to.importNode(property, true));
            }
        }
    }
    return to.toByteArray();
}

struct ClassRow
{
    const char *name;
    const char *base;
    const char *header;
    bool container;
};

// The classes the form description declares, with its <customwidgets> entries.
const ClassRow Classes[] = {
    {"Tfrm_Jointrix", "QWidget", "ui/U_Main.h", true},
    {"TLxEdit", "QLineEdit", "controls/LxEdit.h", false},
    {"TGroupBox", "QGroupBox", "platform/panel/GroupBox.h", true},
    {"TPanel", "QWidget", "platform/panel/Panel.h", true},
    {"TRxRichEdit", "QTextEdit", "ui/RichEdit.h", false},
    {"TbsSkinButton", "QPushButton", "platform/skin/SkinButton.h", false},
    {"TbsSkinData", "QWidget", "platform/skin/SkinData.h", false},
    {"TbsSkinMessage", "QWidget", "platform/skin/SkinMessage.h", false},
    {"TbsBusinessSkinForm", "QWidget", "platform/skin/SkinForm.h", false},
};

// Run-time state shown in Designer but never stored.
const char *const ReadOnlyState[] = {"TbsSkinData.fileName", "TbsSkinData.loaded"};

} // namespace

class TestDesigner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void listsTheFormsClasses();
    void describesClass_data();
    void describesClass();
    void publishesProperty_data();
    void publishesProperty();
    void drawsAsAtRunTime_data();
    void drawsAsAtRunTime();
    void readsTheStoredSettings();
    void keepsColourAlpha_data();
    void keepsColourAlpha();
    void roundTrip_data();
    void roundTrip();

private:
    QWidget *build(const QByteArray &description);
    std::unique_ptr<QWidget> make(const char *className);

    QPluginLoader m_loader;
    QHash<QString, QDesignerCustomWidgetInterface *> m_widgets;
    FormBuilder m_builder;
    QByteArray m_stored;
    QByteArray m_written;
    std::unique_ptr<QWidget> m_original;
    std::unique_ptr<QWidget> m_rebuilt;
};

QWidget *TestDesigner::build(const QByteArray &description)
{
    QByteArray bytes = description;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return m_builder.load(&buffer);
}

std::unique_ptr<QWidget> TestDesigner::make(const char *className)
{
    QDesignerCustomWidgetInterface *widget = m_widgets.value(QLatin1String(className));
    return std::unique_ptr<QWidget>(widget ? widget->createWidget(nullptr) : nullptr);
}

void TestDesigner::initTestCase()
{
    // As Designer finds it: a file in a "designer" folder of the plugin path, with the IID of a
    // widget collection.
    m_loader.setFileName(QStringLiteral(JOINTRIX_DESIGNER_PLUGIN));
    QCOMPARE(m_loader.metaData().value(QLatin1String("IID")).toString(),
             QStringLiteral("org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface"));
    QVERIFY2(m_loader.load(), qPrintable(m_loader.errorString()));
    auto *collection
        = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(m_loader.instance());
    QVERIFY(collection);
    for (QDesignerCustomWidgetInterface *widget : collection->customWidgets())
        m_widgets.insert(widget->name(), widget);

    // The form builder finds the plugin as Designer's preview does, on its plugin path.
    m_builder.setPluginPath({QFileInfo(m_loader.fileName()).absolutePath()});
    m_builder.setWorkingDirectory(QFileInfo(FormFile).absoluteDir());
    QCOMPARE(m_builder.customWidgets().size(), m_widgets.size());

    QFile file(FormFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_stored = file.readAll();

    // Any setting the builder cannot read or write says so as a warning.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    m_original.reset(build(m_stored));
    QVERIFY2(m_original, qPrintable(m_builder.errorString()));
    // Shown, as Designer shows the form: what is hidden is then hidden by the description.
    m_original->show();
    QBuffer out(&m_written);
    out.open(QIODevice::WriteOnly);
    m_builder.save(&out, m_original.get());
    out.close();
    m_written = withStoredPictures(m_stored, m_written);
    QVERIFY(!m_written.isEmpty());
    m_rebuilt.reset(build(m_written));
    QVERIFY2(m_rebuilt, qPrintable(m_builder.errorString()));
    m_rebuilt->show();
}

void TestDesigner::listsTheFormsClasses()
{
    QStringList expected;
    for (const ClassRow &row : Classes)
        expected << QLatin1String(row.name);
    QStringList listed = m_widgets.keys();
    listed.sort();
    expected.sort();
    QCOMPARE(listed, expected);
}

void TestDesigner::describesClass_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("header");
    QTest::addColumn<bool>("container");
    for (const ClassRow &row : Classes) {
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << QString::fromLatin1(row.base)
                                << QString::fromLatin1(row.header) << row.container;
    }
}

void TestDesigner::describesClass()
{
    QFETCH(QString, name);
    QFETCH(QString, base);
    QFETCH(QString, header);
    QFETCH(bool, container);
    QDesignerCustomWidgetInterface *widget = m_widgets.value(name);
    QVERIFY(widget);
    QCOMPARE(widget->name(), name);
    QCOMPARE(widget->group(), QStringLiteral("Jointrix"));
    QCOMPARE(widget->includeFile(), header);
    QCOMPARE(widget->isContainer(), container);
    QVERIFY(!widget->toolTip().isEmpty());

    // The description Designer drops into a form: a widget of the class, declared with the
    // base and header the stored description uses.
    QXmlStreamReader xml(widget->domXml());
    QStringList widgetClasses;
    QString declared;
    QString extends;
    QString declaredHeader;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("widget"))
            widgetClasses << xml.attributes().value(QLatin1String("class")).toString();
        else if (xml.name() == QLatin1String("class"))
            declared = xml.readElementText();
        else if (xml.name() == QLatin1String("extends"))
            extends = xml.readElementText();
        else if (xml.name() == QLatin1String("header"))
            declaredHeader = xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(widgetClasses, QStringList {name});
    QCOMPARE(declared, name);
    QCOMPARE(extends, base);
    QCOMPARE(declaredHeader, header);

    const std::unique_ptr<QWidget> made(widget->createWidget(nullptr));
    QVERIFY(made);
    QCOMPARE(QLatin1String(made->metaObject()->className()), name);
    QVERIFY(made->inherits(qPrintable(base)));
}

void TestDesigner::publishesProperty_data()
{
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QByteArray>("property");
    for (const ClassRow &row : Classes) {
        const std::unique_ptr<QWidget> made = make(row.name);
        if (!made)
            continue;
        for (const QMetaProperty &property : ownProperties(made->metaObject())) {
            QTest::addRow("%s.%s", row.name, property.name())
                << QByteArray(row.name) << QByteArray(property.name());
        }
    }
}

void TestDesigner::publishesProperty()
{
    QFETCH(QByteArray, className);
    QFETCH(QByteArray, property);
    const std::unique_ptr<QWidget> made = make(className.constData());
    QVERIFY(made);
    const QMetaObject *meta = made->metaObject();
    const QMetaProperty p = meta->property(meta->indexOfProperty(property.constData()));
    QVERIFY(p.isValid());
    QVERIFY(p.isReadable());
    QVERIFY(p.isDesignable());

    const QVariant value = made->property(property.constData());
    QVERIFY2(value.isValid(), "unreadable by name");
    QCOMPARE(value.metaType(), p.metaType());
    const QByteArray qualified = className + '.' + property;
    if (std::find(std::begin(ReadOnlyState), std::end(ReadOnlyState), qualified)
        != std::end(ReadOnlyState)) {
        QVERIFY(!p.isWritable());
        return;
    }
    QVERIFY2(p.isWritable(), "a published setting must be writable");
    QVERIFY(made->setProperty(property.constData(), value));
    QCOMPARE(describe(made->property(property.constData())), describe(value));

    if (!p.isEnumType())
        return;
    // Designer offers the keys in a drop-down and writes them as Scope::Key; the form builder
    // reads them back with the property's enumerator.
    const QMetaEnum e = p.enumerator();
    QVERIFY(e.isValid());
    QVERIFY(!e.isFlag());
    QVERIFY(e.keyCount() > 1);
    QCOMPARE(QByteArray(e.scope()), className);
    QCOMPARE(meta->indexOfEnumerator(e.name()) >= 0, true);
    for (int i = 0; i < e.keyCount(); ++i) {
        const QByteArray key = QByteArray(e.scope()) + "::" + e.key(i);
        bool ok = false;
        QCOMPARE(e.keyToValue(key.constData(), &ok), e.value(i));
        QVERIFY2(ok, key.constData());
        QCOMPARE(e.keyToValue(e.key(i), &ok), e.value(i));
        QVERIFY(made->setProperty(property.constData(), e.value(i)));
        QCOMPARE(made->property(property.constData()).toInt(), e.value(i));
        QCOMPARE(QByteArray(e.valueToKey(made->property(property.constData()).toInt())),
                 QByteArray(e.key(i)));
    }
}

void TestDesigner::drawsAsAtRunTime_data()
{
    QTest::addColumn<QByteArray>("className");
    for (const ClassRow &row : Classes)
        QTest::newRow(row.name) << QByteArray(row.name);
}

void TestDesigner::drawsAsAtRunTime()
{
    QFETCH(QByteArray, className);
    const std::unique_ptr<QWidget> made = make(className.constData());
    QVERIFY(made);
    QWidget &w = *made;
    const QColor grey(226, 226, 226);
    // Settings as the form has them, so the picture shows what Designer shows of the form.
    if (className == "TPanel") {
        w.setProperty("BevelOuter", 2); // raised
        w.setProperty("BevelInner", 1); // lowered
        w.setProperty("BorderWidth", 1);
        w.setProperty("Color", grey);
        w.resize(60, 60);
    } else if (className == "TGroupBox") {
        w.setProperty("title", QStringLiteral("已知参数"));
        w.setProperty("Color", grey);
        w.resize(160, 80);
    } else if (className == "TbsSkinButton") {
        // The glyphs are the plugin's own resources, as Designer shows them with or without
        // the form's resource file.
        w.setProperty("Glyph", QPixmap(QStringLiteral(":/jointrix/images/GLYPH_OK.bmp")));
        w.setProperty("NumGlyphs", 2);
        w.setProperty("Spacing", 1);
        w.setProperty("text", QStringLiteral(" 计 算"));
        w.resize(79, 25);
    } else if (className == "TLxEdit") {
        w.resize(172, 20);
    } else if (className == "TRxRichEdit") {
        w.setProperty("plainText", QStringLiteral("平焊缝连接计算："));
        w.resize(200, 60);
    } else if (className == "Tfrm_Jointrix") {
        w.resize(80, 60);
    }
    if (w.inherits("TbsComponent")) {
        // A placeholder shows with the form it is put in, as every control does.
        QWidget form;
        const QWidget *placed = m_widgets.value(QLatin1String(className))->createWidget(&form);
        form.show();
        QVERIFY(placed->isVisible());
    }
    w.show();
    QVERIFY(w.isVisible());
    QVERIFY(!w.size().isEmpty());
    const QImage image = w.grab().toImage();
    QDir().mkpath(QStringLiteral(JOINTRIX_DESIGNER_PICTURES));
    QVERIFY(image.save(
        QStringLiteral(JOINTRIX_DESIGNER_PICTURES "/%1.png").arg(QLatin1String(className))));

    const QPalette &palette = w.palette();
    const auto rgb = [&image](int x, int y) { return image.pixelColor(x, y).rgba(); };
    const auto role = [&palette](QPalette::ColorRole r) { return palette.color(r).rgba(); };
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    if (className == "TPanel") {
        QCOMPARE(rgb(0, 0), role(QPalette::Light));
        QCOMPARE(rgb(right, bottom), role(QPalette::Dark));
        QCOMPARE(rgb(2, 2), role(QPalette::Dark)); // inner, lowered
        QCOMPARE(rgb(30, 30), grey.rgba());
    } else if (className == "TGroupBox") {
        QCOMPARE(rgb(right - 2, 2), grey.rgba());
    } else if (className == "TbsSkinButton") {
        // The glyph's olive background is see-through, its drawing is not.
        const QImage glyph = w.property("Glyph").value<QPixmap>().toImage();
        QVERIFY(!glyph.isNull());
        const QColor ink = glyph.pixelColor(9, 9);
        QVERIFY(ink != glyph.pixelColor(0, 17));
        bool inked = false;
        bool olive = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                inked = inked || image.pixelColor(x, y) == ink;
                olive = olive || image.pixelColor(x, y) == glyph.pixelColor(0, 17);
            }
        }
        QVERIFY(inked);
        QVERIFY(!olive);
    } else if (className == "Tfrm_Jointrix") {
        QCOMPARE(rgb(40, 30), role(QPalette::Button));
    } else if (w.inherits("TbsComponent")) {
        // A placeholder: a framed box sized to its class name, with the name in it.
        QCOMPARE(w.size(), w.sizeHint());
        QCOMPARE(rgb(0, 0), role(QPalette::Mid));
        QCOMPARE(rgb(2, 2), role(QPalette::Base));
        bool text = false;
        for (int x = 0; x < image.width(); ++x)
            text = text || rgb(x, image.height() / 2) == role(QPalette::Text);
        QVERIFY(text);
    }
}

void TestDesigner::readsTheStoredSettings()
{
    // What the stored description was once read without: the enumerations and the colours.
    QWidget *root = m_original.get();
    for (const char *name : {"edt_hf", "edt_Lf"}) {
        const QWidget *edit = component(root, QLatin1String(name));
        QVERIFY(edit);
        const QMetaProperty p
            = edit->metaObject()->property(edit->metaObject()->indexOfProperty("EditType"));
        QCOMPARE(QByteArray(p.enumerator().valueToKey(edit->property("EditType").toInt())),
                 QByteArray("EditInt"));
    }
    const QWidget *panel = component(root, QStringLiteral("Panel1"));
    QVERIFY(panel);
    const QMetaEnum cut = panel->metaObject()
                              ->property(panel->metaObject()->indexOfProperty("BevelOuter"))
                              .enumerator();
    QCOMPARE(QByteArray(cut.valueToKey(panel->property("BevelOuter").toInt())), "bvRaised");
    QCOMPARE(QByteArray(cut.valueToKey(panel->property("BevelInner").toInt())), "bvLowered");
    QCOMPARE(panel->property("Color").value<QColor>(), QColor(226, 226, 226, 255));
    QCOMPARE(component(root, QStringLiteral("GroupBox2"))->property("Color").value<QColor>(),
             QColor(226, 226, 226, 255));
    QCOMPARE(component(root, QStringLiteral("edt_hf"))->property("Anchors").toString(),
             QStringLiteral("left,top"));
}

void TestDesigner::keepsColourAlpha_data()
{
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QColor>("colour");
    for (const char *name : {"TPanel", "TGroupBox"}) {
        QTest::addRow("%s half transparent", name) << QByteArray(name) << QColor(10, 20, 30, 128);
        QTest::addRow("%s clear", name) << QByteArray(name) << QColor(200, 100, 50, 0);
    }
}

void TestDesigner::keepsColourAlpha()
{
    QFETCH(QByteArray, className);
    QFETCH(QColor, colour);
    const std::unique_ptr<QWidget> form = make("Tfrm_Jointrix");
    QVERIFY(form);
    form->setObjectName(QStringLiteral("form"));
    QWidget *made = m_widgets.value(QLatin1String(className))->createWidget(form.get());
    made->setObjectName(QStringLiteral("made"));
    QVERIFY(made->setProperty("Color", colour));

    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    m_builder.save(&out, form.get());
    out.close();
    const std::unique_ptr<QWidget> rebuilt(build(written));
    QVERIFY(rebuilt);
    const QWidget *read = rebuilt->findChild<QWidget *>(QStringLiteral("made"));
    QVERIFY(read);
    QCOMPARE(read->property("Color").value<QColor>().rgba(), colour.rgba());
}

void TestDesigner::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("property");
    for (const QString &name : componentNames(m_stored)) {
        const QWidget *original = component(m_original.get(), name);
        QVERIFY2(original, qPrintable(name));
        // Every property of the plugin's classes; of Qt's classes the dynamic ones, which the
        // description adds. A child's window icon is its window's.
        const bool ours = m_widgets.contains(QLatin1String(original->metaObject()->className()));
        const QList<QByteArray> properties
            = ours ? publishedProperties(original) : original->dynamicPropertyNames();
        for (const QByteArray &property : properties) {
            if (original != m_original.get() && property == "windowIcon")
                continue;
            QTest::addRow("%s.%s", qPrintable(name), property.constData()) << name << property;
        }
    }
}

void TestDesigner::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, property);
    const QWidget *original = component(m_original.get(), name);
    const QWidget *rebuilt = component(m_rebuilt.get(), name);
    QVERIFY(original);
    QVERIFY2(rebuilt, "the component was lost");
    QCOMPARE(QByteArray(rebuilt->metaObject()->className()),
             QByteArray(original->metaObject()->className()));
    QCOMPARE(describe(rebuilt->property(property.constData())),
             describe(original->property(property.constData())));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestDesigner test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_designer.moc"
