#pragma once

#include <QIcon>
#include <QIconEngine>

#include <functional>

// An icon whose pictures are made the first time anything asks for them.
// Decoding an image file makes Qt load every image-format plugin it has, several
// milliseconds at start-up; an icon nobody draws never needs to pay that.
class DeferredIconEngine : public QIconEngine
{
public:
    using Factory = std::function<QIcon()>;

    static QIcon icon(Factory make);

    explicit DeferredIconEngine(Factory make);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString key() const override;
    QIconEngine* clone() const override;

private:
    const QIcon& made();

    Factory m_make;
    QIcon m_icon;
    bool m_made = false;
};
