#pragma once

#include <QLabel>

// A figure label that tells when its caption changes, so that the figures that
// depend on it are recomputed inside the very write that changed it. Writes that
// leave the caption as it was tell nothing: every figure would come out the same.
class CaptionLabel : public QLabel
{
    Q_OBJECT
public:
    // element: the label's number within its family (0 Logged Finds, 1 Latest Finds).
    explicit CaptionLabel(int element, QWidget* parent = nullptr);

    int element() const { return m_element; }

    // Hides QLabel::setText so that every caption write of the program is seen.
    void setText(const QString& caption);

signals:
    void captionChanged(int element);

private:
    int m_element;
};
