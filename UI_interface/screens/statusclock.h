#ifndef STATUSCLOCK_H
#define STATUSCLOCK_H

#include <QHash>
#include <QImage>
#include <QVector>
#include <QWidget>

// The status bar's clock. Its text changes every second, mostly in the last
// digit: each character is drawn once into a kept image, and a new text
// repaints only the characters that changed, at once. It paints its whole rectangle,
// background included (the style sheet's background colour), so the status
// bar beneath it is not painted again for it.
class StatusClock : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit StatusClock(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void forgetDrawing();
    void placeCharacters();
    qreal advance(QChar c);
    QRect cell(int i) const;
    const QImage &glyph(QChar c, int shift, int width);

    QString m_text;
    // Left edge of each character, and the end of the last one at the back.
    QVector<int> m_x;
    // How far each character's origin lies from its cell's left edge, in
    // 64ths of a pixel.
    QVector<int> m_shift;
    QHash<QChar, qreal> m_advances;
    QHash<quint32, QImage> m_glyphs;
};

#endif // STATUSCLOCK_H
