#include "batch/Batch.h"
#include "calc/Weld.h"
#include "platform/numtext/NumText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

// A sink that keeps everything it takes.
struct Collected
{
    std::string text;
    batch::Sink sink()
    {
        return [this](std::string_view piece) {
            text.append(piece);
            return true;
        };
    }
};

batch::Table table(const batch::TableOptions &options)
{
    const batch::Parsed<batch::Table> parsed = batch::makeTable(options);
    if (!parsed)
        qWarning("%s", parsed.error.c_str());
    return parsed ? *parsed : batch::Table {};
}

QByteArrayList csvLines(const batch::Table &t)
{
    Collected out;
    const batch::WriteResult result = batch::write(t, batch::Format::Csv, out.sink());
    if (!result.ok())
        qWarning("%s", result.error.c_str());
    QByteArrayList lines;
    for (const QByteArray &line : QByteArray::fromStdString(out.text).split('\n')) {
        if (!line.isEmpty() && !line.endsWith('\r'))
            qWarning("a line without CR LF: %s", line.constData());
        lines << line.chopped(line.isEmpty() ? 0 : 1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

double length(const QByteArray &text)
{
    return numtext::parseReal(QString::fromLatin1(text), QLatin1Char('.')).value();
}

std::optional<double> exactly(const QByteArray &bytes)
{
    double value = 0;
    const auto [end, ec]
        = std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
    if (ec != std::errc() || end != bytes.constData() + bytes.size())
        return std::nullopt;
    return value;
}

template<typename E> E named(const QByteArray &name)
{
    return weld::fromName<E>(name.toStdString()).value();
}

// The row's own inputs through the single calculation.
weld::Result single(const QByteArrayList &fields)
{
    weld::Input input;
    input.form = named<weld::Form>(fields[0]);
    input.grade = named<weld::Grade>(fields[1]);
    input.electrode = named<weld::Electrode>(fields[2]);
    input.hf = length(fields[3]);
    input.lf = length(fields[4]);
    return weld::calculate(input);
}

} // namespace

Q_DECLARE_METATYPE(batch::TableOptions)

class TestBatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void axis_data();
    void axis();
    void badAxis_data();
    void badAxis();
    void choices_data();
    void choices();
    void badTable_data();
    void badTable();
    void rowsMatchSingleCalculation_data();
    void rowsMatchSingleCalculation();
    void rowOrder();
    void jsonLinesCarryTheSameRows();
    void failedWriteStops();
    void fullDeviceIsAnError();
};

void TestBatch::axis_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArrayList>("texts");

    QTest::newRow("one value") << QByteArray("10") << QByteArrayList {QByteArray("10")};
    QTest::newRow("list as given")
        << QByteArray("4, 6.50,+8,1e1") << QByteArrayList {"4", "6.50", "+8", "1e1"};
    QTest::newRow("range") << QByteArray("4:20:4") << QByteArrayList {"4", "8", "12", "16", "20"};
    QTest::newRow("range with a stop between steps")
        << QByteArray("4:11:3") << QByteArrayList {"4", "7", "10"};
    QTest::newRow("one-value range") << QByteArray("7:7:1") << QByteArrayList {"7"};
    QTest::newRow("decimal steps stay decimal")
        << QByteArray("0.1:0.5:0.1") << QByteArrayList {"0.1", "0.2", "0.3", "0.4", "0.5"};
    QTest::newRow("trailing zeros go")
        << QByteArray("0.50:2:0.25")
        << QByteArrayList {"0.5", "0.75", "1", "1.25", "1.5", "1.75", "2"};
    QTest::newRow("through zero") << QByteArray("-1:1:0.5")
                                  << QByteArrayList {"-1", "-0.5", "0", "0.5", "1"};
    QTest::newRow("exponents step in decimal too")
        << QByteArray("1e2:3e2:1e2") << QByteArrayList {"100", "200", "300"};
    QTest::newRow("an exponent step reaches its stop")
        << QByteArray("0.1:0.3:1e-1") << QByteArrayList {"0.1", "0.2", "0.3"};
    QTest::newRow("exponents everywhere reach the stop")
        << QByteArray("1e-1:3e-1:1e-1") << QByteArrayList {"0.1", "0.2", "0.3"};
}

void TestBatch::axis()
{
    QFETCH(QByteArray, written);
    QFETCH(QByteArrayList, texts);
    const auto axis = batch::Axis::parse(written.toStdString());
    QVERIFY2(axis, axis.error.c_str());
    QByteArrayList got;
    batch::Axis::TextBuffer buffer;
    for (std::uint64_t i = 0; i < axis->size(); ++i) {
        const std::string_view text = axis->text(i, buffer);
        got << QByteArray(text.data(), qsizetype(text.size()));
        // Each value is the one its text reads as in the single calculation.
        QCOMPARE(axis->value(i), length(got.last()));
    }
    QCOMPARE(got, texts);
}

void TestBatch::badAxis_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("reason");

    QTest::newRow("empty") << QByteArray() << QByteArray("empty item");
    QTest::newRow("empty item") << QByteArray("4,,8") << QByteArray("empty item");
    QTest::newRow("word") << QByteArray("4,six") << QByteArray("'six' is not a finite number");
    QTest::newRow("two points") << QByteArray("4.5.6") << QByteArray("not a finite");
    QTest::newRow("beyond double") << QByteArray("1e400") << QByteArray("not a finite");
    QTest::newRow("infinity") << QByteArray("inf") << QByteArray("not a finite");
    QTest::newRow("two parts") << QByteArray("4:20") << QByteArray("start:stop:step");
    QTest::newRow("four parts") << QByteArray("4:20:2:1") << QByteArray("start:stop:step");
    QTest::newRow("zero step") << QByteArray("4:20:0") << QByteArray("step is zero");
    QTest::newRow("negative zero step") << QByteArray("4:20:-0") << QByteArray("step is zero");
    QTest::newRow("negative step") << QByteArray("4:20:-2") << QByteArray("step is negative");
    QTest::newRow("downward range")
        << QByteArray("20:4:2") << QByteArray("stop is below the start");
    QTest::newRow("too many decimal values")
        << QByteArray("0:10:0.000001") << QByteArray("more than 10000000 values");
    QTest::newRow("too many double values")
        << QByteArray("1:1e12:1") << QByteArray("more than 10000000 values");
    QTest::newRow("step vanishing in double")
        << QByteArray("1:2:1e-300") << QByteArray("more than 10000000 values");
    // Such a range would repeat one row millions of times instead of counting.
    QTest::newRow("step too small for the value")
        << QByteArray("1000:1000:1e-20") << QByteArray("step is too small");
    QTest::newRow("step below the value's resolution")
        << QByteArray("9007199254740993:9007199254740994:1") << QByteArray("step is too small");
}

void TestBatch::badAxis()
{
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, reason);
    const auto axis = batch::Axis::parse(written.toStdString());
    QVERIFY(!axis);
    QVERIFY2(QByteArray::fromStdString(axis.error).contains(reason), axis.error.c_str());
}

void TestBatch::choices_data()
{
    QTest::addColumn<QByteArray>("forms");
    QTest::addColumn<QByteArray>("electrodes");
    QTest::addColumn<QByteArray>("error");
    QTest::addColumn<int>("formCount");

    QTest::newRow("all") << QByteArray("all") << QByteArray("all") << QByteArray() << 4;
    QTest::newRow("lists, repeats kept")
        << QByteArray("butt, single,butt") << QByteArray("E55") << QByteArray() << 3;
    QTest::newRow("unknown form") << QByteArray("single,fillet") << QByteArray("E43")
                                  << QByteArray(
                                         "'fillet' is none of single, double, butt or lap (or all)")
                                  << 0;
    QTest::newRow("names are case sensitive")
        << QByteArray("single") << QByteArray("e43")
        << QByteArray("'e43' is none of E43, E50 or E55") << 0;
    QTest::newRow("empty item") << QByteArray("single,") << QByteArray("E43")
                                << QByteArray("empty item") << 0;
    QTest::newRow("all inside a list")
        << QByteArray("single,all") << QByteArray("E43") << QByteArray("'all' is none") << 0;
}

void TestBatch::choices()
{
    QFETCH(QByteArray, forms);
    QFETCH(QByteArray, electrodes);
    QFETCH(QByteArray, error);
    QFETCH(int, formCount);
    const auto f = batch::parseChoices<weld::Form>(forms.toStdString());
    const auto e = batch::parseChoices<weld::Electrode>(electrodes.toStdString());
    if (error.isEmpty()) {
        QVERIFY(f && e);
        QCOMPARE(int(f->size()), formCount);
        if (forms == "all")
            QCOMPARE(*f,
                     (std::vector {weld::Form::SingleFillet, weld::Form::DoubleFillet,
                                   weld::Form::Butt, weld::Form::Lap}));
    } else {
        const std::string got = !f ? f.error : e.error;
        QVERIFY(!f || !e);
        QVERIFY2(QByteArray::fromStdString(got).contains(error), got.c_str());
    }
}

void TestBatch::badTable_data()
{
    QTest::addColumn<batch::TableOptions>("options");
    QTest::addColumn<QByteArray>("error"); // empty: a good table

    batch::TableOptions o;
    const auto with = [](batch::TableOptions options, auto change) {
        change(options);
        return options;
    };
    QTest::newRow("defaults") << o << QByteArray();
    QTest::newRow("window's limits")
        << with(o, [](auto &x) { x.hf = "1,100", x.lf = "1:10000:9999"; }) << QByteArray();
    QTest::newRow("thickness below")
        << with(o, [](auto &x) { x.hf = "4,0.5"; })
        << QByteArray("invalid value '4,0.5' for option '--hf': 0.5 is outside 1 to 100");
    QTest::newRow("range end above")
        << with(o, [](auto &x) { x.lf = "9000:11000:500"; })
        << QByteArray(
               "invalid value '9000:11000:500' for option '--lf': 10500 is outside 1 to 10000");
    QTest::newRow("negative length")
        << with(o, [](auto &x) { x.lf = "-1000"; }) << QByteArray("-1000 is outside 1 to 10000");
    QTest::newRow("unchecked takes them")
        << with(o, [](auto &x) { x.hf = "-5,0.5,1e20", x.lf = "0:20000:5000", x.unchecked = true; })
        << QByteArray();
    QTest::newRow("bad step named with its option")
        << with(o, [](auto &x) { x.lf = "100:200:0"; })
        << QByteArray("invalid value '100:200:0' for option '--lf': the step is zero");
    QTest::newRow("bad form named with its option")
        << with(o, [](auto &x) { x.form = "round"; })
        << QByteArray("invalid value 'round' for option '--form'");
    QTest::newRow("exactly the most rows")
        << with(o, [](auto &x) { x.hf = "1:1000:1", x.lf = "1:10000:1", x.unchecked = true; })
        << QByteArray();
    QTest::newRow("one row too many")
        << with(o, [](auto &x) { x.hf = "1:11:1", x.lf = "1:909091:1", x.unchecked = true; })
        << QByteArray("the table has more than 10000000 rows");
    QTest::newRow("too many rows") << with(o, [](auto &x) {
        x.form = "all", x.grade = "all", x.hf = "1:100:0.5", x.lf = "1:10000:1";
    }) << QByteArray("the table has more than 10000000 rows");
    QTest::newRow("too many rows from the lengths alone")
        << with(o, [](auto &x) { x.hf = "1:10:0.000001", x.lf = "1:10000:0.001"; })
        << QByteArray("the table has more than 10000000 rows");
}

void TestBatch::badTable()
{
    QFETCH(batch::TableOptions, options);
    QFETCH(QByteArray, error);
    const batch::Parsed<batch::Table> table = batch::makeTable(options);
    if (error.isEmpty()) {
        QVERIFY2(table, table.error.c_str());
        QVERIFY(table->rows() <= batch::MaxRows);
    } else {
        QVERIFY(!table);
        QVERIFY2(QByteArray::fromStdString(table.error).contains(error), table.error.c_str());
    }
}

void TestBatch::rowsMatchSingleCalculation_data()
{
    QTest::addColumn<batch::TableOptions>("options");
    QTest::addColumn<int>("errors");

    QTest::newRow("every choice") << batch::TableOptions {
        "all", "all", "all", "1,15.5,16,16.5,40.25,100",
        "1:10000:1249.5"} << 0;
    QTest::newRow("band edges of the butt welds")
        << batch::TableOptions {"butt,lap", "3", "E50,E55", "15.9:16.1:0.1", "33.3"} << 0;
    QTest::newRow("fine lengths") << batch::TableOptions {"double",           "1", "E43", "7",
                                                          "0.001:0.01:0.001", true}
                                  << 0;
    // Unchecked lengths reach the calculation's own failures: a load past the double range,
    // and a number too large for the report to print, each a row without loads.
    QTest::newRow("failures") << batch::TableOptions {"single,butt",   "2",          "E43",
                                                      "1e20,1e300,-8", "1e300,-100", true}
                              << 10;
}

void TestBatch::rowsMatchSingleCalculation()
{
    QFETCH(batch::TableOptions, options);
    QFETCH(int, errors);
    const batch::Table t = table(options);
    const QByteArrayList lines = csvLines(t);
    QCOMPARE(lines.value(0), QByteArray("form,grade,electrode,hf,lf,F,N,V,status"));
    QCOMPARE(std::uint64_t(lines.size() - 1), t.rows());

    int failed = 0;
    for (const QByteArray &line : lines.mid(1)) {
        const QByteArrayList fields = line.split(',');
        QCOMPARE(fields.size(), 9);
        const weld::Result expected = single(fields);
        if (expected.ok()) {
            QCOMPARE(fields[8], QByteArray("ok"));
            // Bit for bit: the shortest text reads back to the very double.
            QCOMPARE(exactly(fields[5]), std::optional(expected.f));
            QCOMPARE(exactly(fields[6]), std::optional(expected.n));
            QCOMPARE(exactly(fields[7]), std::optional(expected.v));
        } else {
            ++failed;
            QCOMPARE(fields.mid(5),
                     (QByteArrayList {QByteArray(), QByteArray(), QByteArray(), "error"}));
        }
    }
    QCOMPARE(failed, errors);
}

void TestBatch::rowOrder()
{
    const batch::Table t = table({"double,butt", "2,1", "E55,E43", "5,6", "7:8:1"});
    // Records end in CR LF, the header's too.
    Collected raw;
    QVERIFY(batch::write(t, batch::Format::Csv, raw.sink()).ok());
    QVERIFY(raw.text.starts_with("form,grade,electrode,hf,lf,F,N,V,status\r\n"
                                 "double,2,E55,5,7,15.4,15.4,15.4,ok\r\n"));
    QVERIFY(raw.text.ends_with("butt,1,E43,6,8,10.32,10.32,6,ok\r\n"));

    QByteArrayList inputs;
    for (const QByteArray &line : csvLines(t).mid(1))
        inputs << line.split(',').mid(0, 5).join(',');
    QCOMPARE(inputs,
             (QByteArrayList {
                 "double,2,E55,5,7", "double,2,E55,5,8", "double,2,E55,6,7", "double,2,E55,6,8",
                 "double,2,E43,5,7", "double,2,E43,5,8", "double,2,E43,6,7", "double,2,E43,6,8",
                 "double,1,E55,5,7", "double,1,E55,5,8", "double,1,E55,6,7", "double,1,E55,6,8",
                 "double,1,E43,5,7", "double,1,E43,5,8", "double,1,E43,6,7", "double,1,E43,6,8",
                 "butt,2,E55,5,7",   "butt,2,E55,5,8",   "butt,2,E55,6,7",   "butt,2,E55,6,8",
                 "butt,2,E43,5,7",   "butt,2,E43,5,8",   "butt,2,E43,6,7",   "butt,2,E43,6,8",
                 "butt,1,E55,5,7",   "butt,1,E55,5,8",   "butt,1,E55,6,7",   "butt,1,E55,6,8",
                 "butt,1,E43,5,7",   "butt,1,E43,5,8",   "butt,1,E43,6,7",   "butt,1,E43,6,8"}));
}

void TestBatch::jsonLinesCarryTheSameRows()
{
    const batch::Table t
        = table({"single,lap", "1,3", "E50", "+4,.5,16.50,1e300", "10:20:10", true});
    const QByteArrayList csv = csvLines(t);
    Collected out;
    QVERIFY(batch::write(t, batch::Format::JsonLines, out.sink()).ok());
    QVERIFY(out.text.ends_with('\n'));
    const QList<QByteArray> json
        = QByteArray::fromStdString(out.text).split('\n').mid(0, csv.size() - 1);
    QCOMPARE(json.size(), csv.size() - 1);
    for (qsizetype i = 0; i < json.size(); ++i) {
        const QByteArrayList fields = csv[i + 1].split(',');
        QJsonParseError error;
        const QJsonObject row = QJsonDocument::fromJson(json[i], &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, json[i].constData());
        QCOMPARE(row.keys().size(), 9);
        QCOMPARE(row.value(QLatin1String("form")).toString().toLatin1(), fields[0]);
        QCOMPARE(row.value(QLatin1String("grade")).toString().toLatin1(), fields[1]);
        QCOMPARE(row.value(QLatin1String("electrode")).toString().toLatin1(), fields[2]);
        QCOMPARE(row.value(QLatin1String("hf")).toDouble(), length(fields[3]));
        QCOMPARE(row.value(QLatin1String("lf")).toDouble(), length(fields[4]));
        QCOMPARE(row.value(QLatin1String("status")).toString().toLatin1(), fields[8]);
        for (const int load : {5, 6, 7}) {
            const QJsonValue value = row.value(QString(QLatin1Char("FNV"[load - 5])));
            if (fields[8] == "ok")
                QCOMPARE(value.toDouble(), exactly(fields[load]).value());
            else
                QVERIFY(value.isNull());
        }
    }
    // The texts of the lengths as written: valid JSON numbers for what is none as given.
    QVERIFY(
        out.text.starts_with(R"({"form":"single","grade":"1","electrode":"E50","hf":4,"lf":10,)"));
    QVERIFY(out.text.find(R"("hf":0.5,)") != std::string::npos);
    QVERIFY(out.text.find(R"("hf":16.50,)") != std::string::npos);
    QVERIFY(out.text.find(R"("hf":1e300,"lf":10,"F":null,"N":null,"V":null,"status":"error"})")
            != std::string::npos);
}

void TestBatch::failedWriteStops()
{
    const batch::Table t = table({"all", "all", "all", "1:100:1", "1000"});
    QCOMPARE(t.rows(), std::uint64_t(3600));
    int calls = 0;
    std::string taken;
    const batch::WriteResult result
        = batch::write(t, batch::Format::Csv, [&](std::string_view piece) {
              if (++calls > 1)
                  return false;
              taken.append(piece);
              return true;
          });
    QVERIFY(!result.ok());
    QCOMPARE(calls, 2);
    // The rows counted are the whole rows of the pieces taken.
    QVERIFY(result.rows > 0 && result.rows < t.rows());
    QCOMPARE(std::uint64_t(std::count(taken.begin(), taken.end(), '\n')), result.rows + 1);
    QVERIFY(taken.ends_with("\r\n"));
}

void TestBatch::fullDeviceIsAnError()
{
    std::FILE *full = std::fopen("/dev/full", "w");
    QVERIFY(full);
    const batch::WriteResult result = batch::write(
        table({"all", "all", "all", "1:100:1", "1:100:1"}), batch::Format::JsonLines, full);
    std::fclose(full);
    QVERIFY(!result.ok());
    QVERIFY2(QByteArray::fromStdString(result.error).contains(std::strerror(ENOSPC)),
             result.error.c_str());
}

QTEST_APPLESS_MAIN(TestBatch)
#include "tst_batch.moc"
