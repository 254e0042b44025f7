#pragma once
// Part-of-speech flags of the word segmentation tool and their descriptions,
// read from "./Utilities/JieBa/JieBaFlag.ini".

#include <QStringList>

extern QStringList partOfSpeechFlags;
extern QStringList partOfSpeechDescriptions;

bool parseJieBaFlagConfigFile();
