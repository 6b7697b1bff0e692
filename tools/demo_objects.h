#pragma once
// Objects of a store: the rows of OBJECTS_TREE and their numeric property
// values, inserted through statements prepared once.

#include "store_writer.h"

#include <QDate>
#include <QString>

struct ObjectRow {
    QString id;
    QString parentId;
    QString parentsPath; // the ancestors' "[id]" pieces
    QString type;
    QString name;
    QString mnemo;
    QString note;
    QString info;
    QDate date1, date2;
    QString time1, time2; // "hh:mm:ss" or empty
    int base = 1;
    int global = 0;
    QString ref, refNear;

    // The path its children carry.
    QString childPath() const { return parentsPath + QStringLiteral("[") + id + QStringLiteral("]"); }
};

class ObjectInserter {
public:
    explicit ObjectInserter(StoreWriter &w);
    void add(const ObjectRow &o, int numpp);
    void addValue(const QString &owner, const QString &prop, double value);

private:
    StoreWriter &w_;
    StoreWriter::Statement object_;
    StoreWriter::Statement prop_;
};

// The demo enterprise: a tree of several hundred objects under one plant.
void FillDemoObjects(StoreWriter &writer);
