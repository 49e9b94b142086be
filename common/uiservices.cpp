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

bool Mb::hasAnswer(int style, int answer) {
    switch (buttonsOf(style)) {
    case OKCancel:
        return answer == OK || answer == Cancel;
    case YesNoCancel:
        return answer == Yes || answer == No || answer == Cancel;
    case YesNo:
        return answer == Yes || answer == No;
    default:
        return answer == OK;
    }
}
