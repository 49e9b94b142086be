#include "uiservices.h"

int Mb::defaultAnswer(int style) {
    const bool second = secondIsDefault(style);
    switch (buttonsOf(style)) {
    case OKCancel:
        return second ? Cancel : OK;
    case YesNoCancel:
        return second ? No : Yes;
    case YesNo:
        return second ? No : Yes;
    default:
        return OK;
    }
}
