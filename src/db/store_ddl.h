#pragma once
// The statements that create an empty store (SQL dialect 1, WIN1251): every
// table the program reads, with primary keys and the indexes its queries need.

#include <QStringList>

QStringList StoreDdl();
