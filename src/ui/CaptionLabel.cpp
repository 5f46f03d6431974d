#include "ui/CaptionLabel.h"

CaptionLabel::CaptionLabel(int element, QWidget* parent) : QLabel(parent), m_element(element) {}

void CaptionLabel::setText(const QString& caption)
{
    if (caption == text())
        return;
    QLabel::setText(caption);
    emit captionChanged(m_element);
}
