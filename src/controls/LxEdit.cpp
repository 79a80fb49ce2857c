#include "controls/LxEdit.h"

#include "platform/application/Lifetime.h"
#include "platform/msgbox/MsgBox.h"
#include "platform/numtext/NumText.h"
#include "platform/skin/SkinMessage.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

TbsSkinMessage *g_promptBox = nullptr;

// True while a field's exit check runs. Taking the focus back after a failed check makes the
// field that had just received it lose it again; checking that field too would let two
// invalid fields hand the focus and their messages to each other without end.
bool g_checking = false;

TbsSkinMessage *ensurePromptBox()
{
    if (!g_promptBox) {
        g_promptBox = new TbsSkinMessage;
        lifetime::atRelease(lifetime::Stage::PromptBox, releasePromptBox);
    }
    return g_promptBox;
}

// The title of every prompt of the fields, skinned or plain.
QString promptTitle()
{
    return QStringLiteral("提示信息");
}

// The plain exclamation box, titled as every prompt of the fields, owned by `owner`'s window.
void showPlainPrompt(const QString &message, QWidget *owner)
{
    msgbox::Request request;
    request.text = message;
    request.title = promptTitle();
    request.kind = msgbox::Kind::Exclamation;
    request.owner = owner;
    msgbox::show(request);
}

// The padding of PadDecimals stops here, so an absurd Mydec cannot build a gigantic text.
constexpr int MaxPadDecimals = 255;

// The real value of a text with the locale's separator.
double realValue(const QString &text)
{
    const std::optional<double> value = numtext::parseReal(text);
    if (!value)
        throw numtext::InvalidOperation();
    return *value;
}

qint32 wholeValue(const QString &text)
{
    const std::optional<qint32> value = numtext::parseInt(text);
    if (!value)
        throw numtext::InvalidOperation();
    return *value;
}

// The limit cut toward zero to a signed 64-bit integer.
qint64 truncatedLimit(double limit)
{
    constexpr double Limit = 9223372036854775808.0; // 2^63
    const double t = std::trunc(limit);
    if (!(t >= -Limit && t < Limit))
        throw numtext::InvalidOperation();
    return static_cast<qint64>(t);
}

QString rangeTemplate(TLxEdit::TNumEditType type, bool setMax, bool includeLower, bool includeUpper)
{
    const bool real = type == TLxEdit::EditFloat;
    if (!setMax)
        return real ? QStringLiteral("请输入大于 %s 的实数！")
                    : QStringLiteral("请输入大于 %s 的整数！");
    if (includeLower && includeUpper) {
        return real ? QStringLiteral("请输入 %s (包含) 到 %s (包含) 之间的实数！")
                    : QStringLiteral("请输入 %s (包含) 到 %s (包含) 之间的整数！");
    }
    if (!includeLower && includeUpper) {
        return real ? QStringLiteral("请输入 %s (不包含) 到 %s (包含) 之间的实数！")
                    : QStringLiteral("请输入 %s (不包含) 到 %s (包含) 之间的整数！");
    }
    if (includeLower && !includeUpper) {
        return real ? QStringLiteral("请输入 %s (包含) 到 %s (不包含) 之间的实数！")
                    : QStringLiteral(
                        "请输入 %s (包含) 到 %s (不包含) 之间的整数，包含最小值，不包含最大值！");
    }
    return real ? QStringLiteral("请输入 %s (不包含) 到 %s (不包含) 之间的实数！")
                : QStringLiteral("请输入 %s (不包含) 到 %s (不包含) 之间的整数！");
}

// Fills the %s placeholders in order; a template with one placeholder ignores `second`.
QString fillTemplate(QString text, const QString &first, const QString &second)
{
    const QLatin1String placeholder("%s");
    qsizetype at = text.indexOf(placeholder);
    if (at >= 0) {
        text.replace(at, placeholder.size(), first);
        at = text.indexOf(placeholder, at + first.size());
        if (at >= 0)
            text.replace(at, placeholder.size(), second);
    }
    return text;
}

template<typename T>
bool inRange(T lo, T v, T hi, bool setMax, bool includeLower, bool includeUpper)
{
    if (!setMax)
        return lo < v;
    const bool aboveLower = includeLower ? lo <= v : lo < v;
    const bool belowUpper = includeUpper ? v <= hi : v < hi;
    return aboveLower && belowUpper;
}

bool isDecimalPoint(QChar c)
{
    return c == QLatin1Char('.') || c == numtext::decimalSeparator();
}

// The character a key event types, as the edit box would receive it: Ctrl with a letter gives
// its control character, Backspace and Enter give 8 and 13. Keys that type nothing (arrows,
// Home, End, Delete, Alt combinations) give none and are not filtered.
std::optional<QChar> typedCharacter(const QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const bool alt = mods.testFlag(Qt::AltModifier);
    if (key == Qt::Key_Delete)
        return std::nullopt;
    if (ctrl && !alt) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return QChar(static_cast<char16_t>(key - Qt::Key_A + 1));
        if (key == Qt::Key_Backspace)
            return QChar(char16_t(0x7f));
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return QChar(char16_t(10));
        return std::nullopt;
    }
    if (alt && !ctrl)
        return std::nullopt;
    if (key == Qt::Key_Backspace)
        return QChar(char16_t(8));
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return QChar(char16_t(13));
    const QString text = event->text();
    if (text.isEmpty() || (text.size() == 1 && text.front() == QChar(char16_t(0x7f))))
        return std::nullopt;
    // Several characters in one event (a dead-key sequence, a surrogate pair) cannot be part
    // of a number.
    return text.size() == 1 ? text.front() : QChar(QChar::ReplacementCharacter);
}

bool isEditingCharacter(QChar c)
{
    return c == QChar(char16_t(8)) || c == QChar(char16_t(13));
}

} // namespace

TbsSkinMessage *PromptBox()
{
    return g_promptBox;
}

void releasePromptBox()
{
    delete g_promptBox;
    g_promptBox = nullptr;
}

TLxEdit::TLxEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // Our own maxLength limits typing; QLineEdit's would also cut text set by the program.
    QLineEdit::setMaxLength(32767);
    setText(PadDecimals(QString()));
    ensurePromptBox();
}

TLxEdit::~TLxEdit() = default;

float TLxEdit::Numb()
{
    if (m_editType == EditInt) {
        if (const std::optional<qint32> value = numtext::parseInt(text()))
            return static_cast<float>(*value);
    } else if (const std::optional<double> value = numtext::parseReal(text())) {
        if (std::fabs(*value) <= std::numeric_limits<float>::max())
            return static_cast<float>(*value);
    }
    setText(QString());
    return 0;
}

void TLxEdit::setNumb(float value)
{
    setText(numtext::generalText(value));
}

void TLxEdit::setMydec(qint32 value)
{
    if (value <= 0) {
        m_mydec = 2;
        return;
    }
    m_mydec = value;
    if (m_editType == EditFloat && m_formatNumPoint)
        setText(PadDecimals(numtext::trimmed(text())));
}

void TLxEdit::setEditType(TNumEditType value)
{
    if (value != EditInt && value != EditFloat)
        return;
    if (value == m_editType)
        return;
    m_editType = value;
    if (m_editType == EditFloat)
        setText(PadDecimals(numtext::trimmed(text())));
    else
        setText(QStringLiteral("0"));
}

QString TLxEdit::PadDecimals(const QString &text) const
{
    const int wanted = std::min(m_mydec, MaxPadDecimals);
    const auto point = std::find_if(text.cbegin(), text.cend(), isDecimalPoint);
    if (point != text.cend()) {
        const auto decimals = static_cast<int>(text.cend() - point - 1);
        if (wanted - decimals > 0)
            return text + QString(wanted - decimals, QLatin1Char('0'));
        return text;
    }
    // Empty text pads to a zero with the decimals, the text its callers expect to show.
    const QString whole = text.isEmpty() ? QStringLiteral("0") : text;
    return whole + numtext::decimalSeparator() + QString(wanted, QLatin1Char('0'));
}

double TLxEdit::roundToMydec(double value) const
{
    // The field rounds to at most 37 decimals; past that it is an invalid operation whatever
    // the value, so the outcome of the check does not depend on the value it rounds.
    constexpr int MaxDecimals = 37;
    if (m_mydec > MaxDecimals)
        throw numtext::InvalidOperation();
    return numtext::roundToDecimals(value, m_mydec);
}

QString TLxEdit::LimitToText(double value) const
{
    if (m_editType == EditFloat)
        return numtext::generalText(roundToMydec(value));
    return numtext::fixedText(value, 0, 8);
}

void TLxEdit::ShowPrompt(const QString &message)
{
    if (m_skindate) {
        TbsSkinMessage *box = ensurePromptBox();
        box->setSkinData(m_skindate);
        box->setCtrlSkinData(m_skindate);
        box->showMessage(message, window(), promptTitle());
        QCoreApplication::processEvents();
        return;
    }
    showPlainPrompt(message, window());
}

void TLxEdit::showInvalidData()
{
    showPlainPrompt(QStringLiteral("数据非法！"), window());
}

bool TLxEdit::CheckDataValidity()
{
    if (!m_showError)
        return true;
    const QPointer<TLxEdit> self(this);
    try {
        normaliseBlankText();
        if (m_editType == EditFloat && m_formatNumPoint)
            setText(numtext::fixedText(realValue(text()), m_mydec, 9));
        if (m_minValue == m_maxValue || isInRange())
            return true;
        promptRange();
        // The box runs a modal loop; the window may have gone meanwhile.
        if (!self)
            return false;
        setFocus(Qt::OtherFocusReason);
        selectAll();
        return false;
    } catch (...) {
        if (!self)
            return false;
        showInvalidData();
        if (self)
            setText(QStringLiteral("0"));
        return false;
    }
}

void TLxEdit::normaliseBlankText()
{
    const QString t = numtext::trimmed(text());
    const bool lonePoint = t.size() == 1 && isDecimalPoint(t.front());
    if (t.isEmpty() || lonePoint || (t == QLatin1String("-") && !m_canNegative)) {
        setText(m_editType == EditFloat
                    ? QStringLiteral("0") + numtext::decimalSeparator() + QLatin1Char('0')
                    : QStringLiteral("0"));
    }
}

bool TLxEdit::isInRange() const
{
    if (m_editType == EditFloat) {
        const double v = roundToMydec(realValue(text()));
        const double lo = roundToMydec(m_minValue);
        const double hi = roundToMydec(m_maxValue);
        return inRange(lo, v, hi, m_setMaxValue, m_includeLowerLimitValue,
                       m_includeUpperLimitValue);
    }
    const qint64 v = wholeValue(text());
    const qint64 lo = truncatedLimit(m_minValue);
    const qint64 hi = truncatedLimit(m_maxValue);
    return inRange(lo, v, hi, m_setMaxValue, m_includeLowerLimitValue, m_includeUpperLimitValue);
}

void TLxEdit::promptRange()
{
    ShowPrompt(fillTemplate(rangeTemplate(m_editType, m_setMaxValue, m_includeLowerLimitValue,
                                          m_includeUpperLimitValue),
                            LimitToText(m_minValue), LimitToText(m_maxValue)));
}

bool TLxEdit::hasRoomFor(qsizetype length) const
{
    if (m_maxLength <= 0)
        return true;
    return text().size() - selectedText().size() + length <= m_maxLength;
}

QChar TLxEdit::filterKey(QChar key)
{
    const QChar refused;
    if (isEditingCharacter(key))
        return key;
    if (key >= QLatin1Char('0') && key <= QLatin1Char('9'))
        return key;
    if (key == QLatin1Char('-')) {
        if (!m_canNegative)
            return refused;
        // A minus only ever stands first: it starts the field over.
        if (!text().isEmpty())
            setText(QString());
        return key;
    }
    const QChar separator = numtext::decimalSeparator();
    if (key == QLatin1Char('.') || key == separator) {
        if (m_editType == EditInt)
            return refused;
        return text().contains(key) ? refused : key;
    }
    return refused;
}

void TLxEdit::keyPressEvent(QKeyEvent *event)
{
    Q_EMIT KeyDown(event->key(), event->modifiers());
    const Qt::KeyboardModifiers mods
        = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (event->key() == Qt::Key_Z && mods == Qt::ControlModifier)
        undo();

    // Alt with a character is a menu key, not typing: the field takes nothing from it.
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !event->text().isEmpty()) {
        event->ignore();
        return;
    }

    const std::optional<QChar> typed = typedCharacter(event);
    if (!typed) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar key = filterKey(*typed);
    Q_EMIT KeyPress(key);
    if (key.isNull()) {
        // Refused, as if never typed; a dialog may still want Escape.
        event->ignore();
        return;
    }
    if (!isEditingCharacter(key) && !hasRoomFor(1)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TLxEdit::keyReleaseEvent(QKeyEvent *event)
{
    Q_EMIT KeyUp(event->key(), event->modifiers());
    QLineEdit::keyReleaseEvent(event);
}

void TLxEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // Characters committed by an input method are typed characters too. The preedit text is
    // dropped: letters must not show even while being composed.
    QString accepted;
    for (const QChar c : event->commitString()) {
        const QChar key = isEditingCharacter(c) ? QChar() : filterKey(c);
        Q_EMIT KeyPress(key);
        if (key == QLatin1Char('-'))
            accepted.clear();
        if (key.isNull() || !hasRoomFor(accepted.size() + 1))
            continue;
        if (isDecimalPoint(key) && accepted.contains(key))
            continue;
        accepted += key;
    }
    QInputMethodEvent filtered;
    filtered.setCommitString(accepted);
    QLineEdit::inputMethodEvent(&filtered);
    event->accept();
}

void TLxEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::MouseFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        break;
    default:
        // The window lost activation, or a popup or menu took the keyboard: the user has not
        // left the field, and a message box of our own would land here again.
        return;
    }
    const QWidget *next = QApplication::focusWidget();
    if (!next || next == this || next->window() != window())
        return;

    const QPointer<TLxEdit> self(this);
    Q_EMIT Exit();
    if (!self || !m_isCheckDataValidatiy || g_checking)
        return;
    const QScopedValueRollback guard(g_checking, true);
    CheckDataValidity();
}
