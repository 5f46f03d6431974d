#include "ui/TypingLimit.h"

TypingLimit::TypingLimit(int maxLength, QObject* parent)
    : QValidator(parent), m_maxLength(maxLength)
{
}

// A program write is kept whatever this says; an edit of the user's that it
// calls Invalid is undone before the box reports any change.
QValidator::State TypingLimit::validate(QString& text, int&) const
{
    return text.size() > m_maxLength ? Invalid : Acceptable;
}
