#pragma once

#include <QLineEdit>

// The player name field: at most ten characters can be typed or pasted, but
// a longer name put in by the program (a stored one) is kept whole.
class NameEdit : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int TypedLength = 10;

    explicit NameEdit(QWidget *parent = nullptr);

    // Puts in a name of any length.
    void setText(const QString &text);

    // The longest text an edit may leave: ten characters, or the length of
    // a longer name as long as it is not made longer.
    int allowedLength() const { return m_allowed; }

private:
    int m_allowed = TypedLength;
};
