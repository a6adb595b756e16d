#include "app/picture/control_names.h"

const char* controlObjectName(FixedControl control)
{
    switch (control) {
    case FixedControl::Status: return "Dev_Sta_Dsp";
    case FixedControl::ActionFrame: return "dowload_kuang";
    case FixedControl::Clear: return "cancel";
    case FixedControl::ClearAll: return "cancel_2";
    case FixedControl::Read: return "Read_Configuration";
    case FixedControl::Save: return "download";
    case FixedControl::Export: return "exportProfile";
    case FixedControl::Import: return "importProfile";
    case FixedControl::LayerLabel: return "LAYER_SELE";
    case FixedControl::Layer1: return "Layer1";
    case FixedControl::Layer2: return "Layer2";
    case FixedControl::Layer3: return "Layer3";
    case FixedControl::SelectedKey: return "pushButton_SeleKey";
    case FixedControl::TextBox: return "lineEdit";
    case FixedControl::Pages: return "tabWidget";
    case FixedControl::Language: return "change";
    case FixedControl::Settings: return "settings";
    }
    return "";
}
