#pragma once
// A frame as the dialogs' layouts expect it, whatever the style: an etched outline with the caption on
// its top line, the line running through the caption's middle, so what the layout puts below the
// caption is never crossed by it; without a caption the outline lies on the frame's own edges, and a
// frame a few pixels high is an etched rule. Inside, the form's colour shows through.

#include <QString>
#include <QWidget>

namespace corvane {

class QtFrameWidget final : public QWidget {
  public:
    explicit QtFrameWidget(QWidget* parent);
    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    QString caption_;
};

}  // namespace corvane
