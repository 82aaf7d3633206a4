#pragma once
// Small controls of the designer window: the rulers beside the design
// workspace and the scroll box that holds it. They draw on the platform
// canvas and keep no report data.

#include "zdClass_services.h"

#include <QScrollArea>
#include <QWidget>

namespace plat {
class TCanvas;
}

class TzdRuler : public QWidget {
public:
    // Vertical rulers stand at the left edge of their parent.
    TzdRuler(QWidget* Parent, bool Vertical);

    bool Vertical() const { return m_vertical; }
    int Offset() const { return m_offset; }
    void SetOffset(int Value);
    long double Scale() const { return m_scale; }
    void SetScale(long double Value);
    int Start() const { return m_start; }
    void SetStart(int Value);
    TzdRulerUnits Units() const { return m_units; }
    void SetUnits(TzdRulerUnits Value);
    long double Position() const { return m_position; }
    void SetPosition(long double Value);
    int Size() const { return m_size; }
    void SetSize(int Value);

    void PaintTo(plat::TCanvas& Canvas);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_vertical;
    int m_offset = 0;
    long double m_scale = 1;
    int m_start = 0;
    TzdRulerUnits m_units = ruPixels;
    long double m_position = 0;
    int m_size = 0;
};

// The scroll box that holds the workspace: keys reach the workspace too.
class TzdScrollBox : public QScrollArea {
public:
    explicit TzdScrollBox(QWidget* Parent);
    std::function<void()> OnScroll;

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
};
