// The program's Turkish window texts, installed for as long as the object lives; windows made
// meanwhile come up in Turkish.
#pragma once

#include <QCoreApplication>
#include <QTranslator>

class TurkishWindowTexts final {
public:
    TurkishWindowTexts() : loaded_(translator_.load(QStringLiteral(TAVLEN_TRANSLATION))) {
        if (loaded_) QCoreApplication::installTranslator(&translator_);
    }
    ~TurkishWindowTexts() { QCoreApplication::removeTranslator(&translator_); }
    TurkishWindowTexts(const TurkishWindowTexts&) = delete;
    TurkishWindowTexts& operator=(const TurkishWindowTexts&) = delete;

    bool Loaded() const { return loaded_; }
    QString Language() const { return translator_.language(); }

private:
    QTranslator translator_;
    const bool loaded_;
};
