#pragma once
// The three catalogs of the demo store: object types, numeric properties
// (with units of measure from the enumerated catalog) and enumerated
// properties with their values.

class StoreWriter;

void FillDemoCatalogs(StoreWriter &writer);
