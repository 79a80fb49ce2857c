#pragma once

#include "platform/skin/SkinData.h"

#include <QChar>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QStringList>

class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;
class TbsSkinMessage;

// A single-line edit box that holds one number, whole or real. It lets only the characters of
// its kind of number be typed, offers the value as `Numb`, and, when `IsCheckDataValidatiy` is
// set, checks the value against its limits whenever the user moves on to another control of
// the same window (CheckDataValidity).
//
// Forms: a Qt Designer form names the class TLxEdit (a custom widget extending QLineEdit) and
// sets the properties below by name; enums as <enum>EditInt</enum> or <enum>EditFloat</enum>.
// An object-valued property cannot be set from a form, so the form names the skin-data object
// instead, in the string property SkindateName:
//
//     <property name="SkindateName"><string>bsSkinData1</string></property>
//
// The code that loads the form creates the TbsSkinData with that object name below the form's
// root and then calls skin::resolveLinks(root) (platform/skin/SkinLinks.h), much as Designer
// resolves a label's buddy after loading.
class TLxEdit : public QLineEdit
{
    Q_OBJECT
    // Read through the text, which a failed read empties, so a form never stores it.
    Q_PROPERTY(float Numb READ Numb WRITE setNumb STORED false)
    Q_PROPERTY(qint32 Mydec READ Mydec WRITE setMydec)
    Q_PROPERTY(TNumEditType EditType READ EditType WRITE setEditType)
    Q_PROPERTY(bool ShowError READ ShowError WRITE setShowError)
    Q_PROPERTY(bool SetMaxValue READ SetMaxValue WRITE setSetMaxValue)
    Q_PROPERTY(
        bool IncludeUpperLimitValue READ IncludeUpperLimitValue WRITE setIncludeUpperLimitValue)
    Q_PROPERTY(
        bool IncludeLowerLimitValue READ IncludeLowerLimitValue WRITE setIncludeLowerLimitValue)
    Q_PROPERTY(double MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(double MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(TbsSkinData *Skindate READ Skindate WRITE setSkindate)
    Q_PROPERTY(bool FormatNumPoint READ FormatNumPoint WRITE setFormatNumPoint)
    Q_PROPERTY(QString Version READ Version WRITE setVersion)
    Q_PROPERTY(bool IsCheckDataValidatiy READ IsCheckDataValidatiy WRITE setIsCheckDataValidatiy)
    Q_PROPERTY(bool CanNegative READ CanNegative WRITE setCanNegative)
    // The object name of the skin-data object a form links the field to (see above).
    Q_PROPERTY(QString SkindateName READ SkindateName WRITE setSkindateName)
    // Limits typing only, unlike QLineEdit's: text set by the program is never cut. 0 means
    // no limit.
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)

public:
    enum TNumEditType : quint8 {
        EditInt = 0, // whole numbers
        EditFloat = 1, // real numbers
    };
    Q_ENUM(TNumEditType)

    explicit TLxEdit(QWidget *parent = nullptr);
    ~TLxEdit() override;

    // The text as a number of the field's kind. Text that does not convert, or a value beyond
    // the single-precision range, reads as 0 and empties the field.
    float Numb();
    // Writes the general number text (15 digits) of the single-precision value.
    void setNumb(float value);

    qint32 Mydec() const { return m_mydec; }
    // 0 or less makes it 2 and leaves the text alone; otherwise a real field with
    // FormatNumPoint pads its text to the new number of decimals.
    void setMydec(qint32 value);

    TNumEditType EditType() const { return m_editType; }
    // A real field pads its text to Mydec decimals; a whole-number field starts over at "0".
    // A value outside the enumeration (a form's unknown enum key reads as -1) is ignored.
    void setEditType(TNumEditType value);

    bool ShowError() const { return m_showError; }
    void setShowError(bool value) { m_showError = value; }
    bool SetMaxValue() const { return m_setMaxValue; }
    void setSetMaxValue(bool value) { m_setMaxValue = value; }
    bool IncludeUpperLimitValue() const { return m_includeUpperLimitValue; }
    void setIncludeUpperLimitValue(bool value) { m_includeUpperLimitValue = value; }
    bool IncludeLowerLimitValue() const { return m_includeLowerLimitValue; }
    void setIncludeLowerLimitValue(bool value) { m_includeLowerLimitValue = value; }
    double MaxValue() const { return m_maxValue; }
    void setMaxValue(double value) { m_maxValue = value; }
    double MinValue() const { return m_minValue; }
    void setMinValue(double value) { m_minValue = value; }
    // Not owned; a destroyed skin-data object reads as none.
    TbsSkinData *Skindate() const { return m_skindate; }
    void setSkindate(TbsSkinData *value) { m_skindate = value; }
    bool FormatNumPoint() const { return m_formatNumPoint; }
    void setFormatNumPoint(bool value) { m_formatNumPoint = value; }
    QString Version() const { return m_version; }
    void setVersion(const QString &value) { m_version = value; }
    bool IsCheckDataValidatiy() const { return m_isCheckDataValidatiy; }
    void setIsCheckDataValidatiy(bool value) { m_isCheckDataValidatiy = value; }
    bool CanNegative() const { return m_canNegative; }
    void setCanNegative(bool value) { m_canNegative = value; }
    QString SkindateName() const { return m_skindateName; }
    void setSkindateName(const QString &value) { m_skindateName = value; }

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int value) { m_maxLength = value; }

    // The exit check: normalises the text, rewrites a real value to Mydec decimals when
    // FormatNumPoint is set and checks the range. Returns false after it showed a message.
    // Never throws.
    bool CheckDataValidity();
    // The text a range message gives for a limit. Throws numtext::InvalidOperation for a real
    // field whose limit cannot be rounded to Mydec decimals.
    QString LimitToText(double value) const;
    // Pads the (trimmed) text of a real number to Mydec decimals; never removes digits.
    QString PadDecimals(const QString &text) const;
    // Shows one message: in the shared skinned box when Skindate is set, else in the plain box.
    void ShowPrompt(const QString &message);

Q_SIGNALS:
    // A typed character after the filter; the null character when it was refused.
    void KeyPress(QChar key);
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void KeyUp(int key, Qt::KeyboardModifiers modifiers);
    // The focus moved from this field to another control of its window.
    void Exit();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    QChar filterKey(QChar key);
    double roundToMydec(double value) const;
    bool hasRoomFor(qsizetype length) const;
    void showInvalidData();
    // The steps of CheckDataValidity: a blank text becomes zero; the value is checked against
    // the limits (throwing for a text that is no number); the range message names them.
    void normaliseBlankText();
    bool isInRange() const;
    void promptRange();

    qint32 m_mydec = 2;
    TNumEditType m_editType = EditFloat;
    bool m_showError = true;
    bool m_setMaxValue = true;
    bool m_includeUpperLimitValue = true;
    bool m_includeLowerLimitValue = true;
    double m_maxValue = 0;
    double m_minValue = 0;
    QPointer<TbsSkinData> m_skindate;
    bool m_formatNumPoint = false;
    QString m_version = QStringLiteral("20070412");
    bool m_isCheckDataValidatiy = false;
    bool m_canNegative = false;
    QString m_skindateName;
    int m_maxLength = 8;
};

using TNumEditType = TLxEdit::TNumEditType;

// The message box shared by every TLxEdit, made by the first one constructed; nullptr before
// that and after releasePromptBox().
TbsSkinMessage *PromptBox();
// Releases the shared box. The module-lifetime owner (platform/application/Lifetime.h) calls
// it in its prompt-box stage, after the windows and their form loader, while the QApplication
// is being destroyed. The next control or prompt makes a new one.
void releasePromptBox();
