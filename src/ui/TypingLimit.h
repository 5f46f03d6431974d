#pragma once

#include <QValidator>

// An entry box's character limit that holds for what the user types or pastes
// only. QLineEdit's own maximum length also cuts what the program writes, which
// made Log Finds add 100 for an entry of 1e3 once it had written "1000" back.
class TypingLimit : public QValidator
{
public:
    TypingLimit(int maxLength, QObject* parent);
    State validate(QString& text, int& position) const override;

private:
    int m_maxLength;
};
