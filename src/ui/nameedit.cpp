#include "nameedit.h"

#include <QValidator>

namespace {

// The line edit asks this about every edit the user makes and undoes the
// ones it calls invalid.
class NameLength : public QValidator
{
public:
    explicit NameLength(NameEdit *edit)
        : QValidator(edit)
        , m_edit(edit)
    {
    }

    State validate(QString &input, int &) const override
    {
        return input.size() > m_edit->allowedLength() ? Invalid : Acceptable;
    }

private:
    const NameEdit *m_edit;
};

} // namespace

NameEdit::NameEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setValidator(new NameLength(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_allowed = qMax<int>(TypedLength, text.size());
    });
}

void NameEdit::setText(const QString &text)
{
    m_allowed = qMax<int>(TypedLength, text.size());
    QLineEdit::setText(text);
}
