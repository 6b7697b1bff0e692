#pragma once
// How a row of found objects looks, by the kind of its type and its flags.

#include "db/dataset_model.h"

// kind: ID_KIND of the type (0 when the type row is missing); abstract and
// base: ITS_ABSTRACT and ITS_BASE, read as "> 0" or not.
CellLook ResultRowLook(int kind, int abstract, int base);
