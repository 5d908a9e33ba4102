#pragma once

#include "common/Money.h"
#include "ledger/Quality.h"
#include "store/Schema.h"

#include <QDate>
#include <QString>

// The ledger's rows as the program types and reads them. What is typed
// (litres, prices, amounts) is kept as the double the box gave, because
// stored amounts stay unrounded; what a person adds up is read as Money.

struct Account {
    qint64 cid = 0;  // 0: not stored yet
    QString kodu;
    QString adi;
    double birimFiyati = 0;
    QString aciklama;
    QString mevki;
    QString koy;
    QString telefon;  // the stored digits; empty for none
    QString kisinAlim;
    QString yazAlim;
    QString iban;  // "TR" and 24 digits, no blanks; empty for none
};

// A code's ledger rows: how many, and what they leave owed.
struct CodeLedger {
    int rows = 0;
    Money balance;
};

// What a milk intake row of kind 'S' takes from the panel.
struct IntakeEntry {
    qint64 sgid = 0;  // the row a save corrects; 0 for a new row
    QDate tarih;
    QString kodu;
    QString adi;
    double sabah = 0;
    double aksam = 0;
    double fiyat = 0;
    QString aciklama;
    // Measured, a pour is priced from the quality table in force on its day.
    PourQuality sabahKalite;
    PourQuality aksamKalite;

    // Nothing poured: a new row like this is stored only when meant.
    bool isEmpty() const { return sabah == 0 && aksam == 0; }
};

// A payment or purchase row of kind 'O'.
struct PaymentEntry {
    qint64 sgid = 0;
    QDate tarih;
    QString kodu;
    QString adi;
    double alacagimiz = 0;  // paid or given: Gider_Tutari
    double borcumuz = 0;    // now owed to him: Gelir_Toplam_Tutar
    double miktari = 0;
    QString fisNo;
    QString aciklama;

    bool isEmpty() const { return alacagimiz == 0 && borcumuz == 0; }
};

// The row a save corrects, as the panel names it.
struct EntryHead {
    QDate tarih;
    QString kodu;
    QString adi;
    LedgerKind kind = LedgerKind::Intake;
};

// The milk of a day as the producers poured it: litres as summed, and the
// purchase value of the morning's and of the whole day's intake rows,
// summed exactly.
struct DayCollected {
    double sabah = 0;
    double aksam = 0;
    Money sabahTutar;
    Money tutar;
};

// One day's delivery to the factory as the collector types it; the row
// corrected when fib names one.
struct FactoryDelivery {
    qint64 fib = 0;
    QDate tarih;
    double fiyat = 0;
    double sabahFabrika = 0;
    double aksamFabrika = 0;
    QString aciklama;
};

// A day at the factory worked out from the day's intake and its delivery.
// Each money figure is to the kuruş, as the panel shows it and the row
// stores it, so that morning and evening add up to the day and every
// margin is the factory value less the purchase value.
struct FactoryDay {
    double sabahToplanan = 0;
    double aksamToplanan = 0;
    double sabahFark = 0;  // litres collected less delivered
    double aksamFark = 0;
    Money sabahToplananTutar;
    Money aksamToplananTutar;
    Money toplananTutar;
    Money sabahFabrikaTutar;
    Money aksamFabrikaTutar;
    Money fabrikaTutar;
    Money sabahKar;
    Money aksamKar;
    Money kar;
};
FactoryDay factoryDay(const DayCollected& collected, double fiyat, double sabahFabrika, double aksamFabrika);
