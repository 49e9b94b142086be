#pragma once

#include "modalview.h"

class About;

// The product box: the splash at start-up and the Help menu's About.
class AboutView : public ModalView {
    Q_OBJECT
  public:
    explicit AboutView(About& about, QWidget* parent = nullptr);
};
