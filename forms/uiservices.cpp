#include "uiservices.h"

#include <algorithm>

std::vector<int> Mb::answersOf(int style) {
    switch (buttonsOf(style)) {
    case OKCancel:
        return {OK, Cancel};
    case YesNoCancel:
        return {Yes, No, Cancel};
    case YesNo:
        return {Yes, No};
    default:
        return {OK};
    }
}

int Mb::defaultAnswer(int style) {
    const std::vector<int> answers = answersOf(style);
    return answers[secondIsDefault(style) && answers.size() > 1 ? 1 : 0];
}

bool Mb::hasAnswer(int style, int answer) {
    const std::vector<int> answers = answersOf(style);
    return std::find(answers.begin(), answers.end(), answer) != answers.end();
}

std::string Mb::answerName(int answer) {
    switch (answer) {
    case OK:
        return "OK";
    case Cancel:
        return "Cancel";
    case Yes:
        return "Yes";
    case No:
        return "No";
    default:
        return std::to_string(answer);
    }
}
