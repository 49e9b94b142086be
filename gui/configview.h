#pragma once

#include "modalview.h"

class FrmConfig;

// The configuration window: the four URL settings, checked and stored by the model.
class ConfigView : public ModalView {
    Q_OBJECT
  public:
    explicit ConfigView(FrmConfig& config, QWidget* parent = nullptr);
};
