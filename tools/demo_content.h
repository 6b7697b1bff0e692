#pragma once
// What make_demo_store puts into a new store.

class StoreWriter;

// Believable demo content exercising every feature the program shows: the
// three catalogs at all levels, object and process types, an abstract type,
// a type of another kind, numeric properties with units, a tree of objects
// five levels deep with ancestor paths, base and reference objects, periods,
// notes, detailed texts, property values and an object of a missing type.
void FillDemoStore(StoreWriter &writer);

// The demo catalogs and `objects` generated objects in a deep tree, each with
// one numeric property value; every tenth has a detailed text. For benchmarks.
void FillGeneratedStore(StoreWriter &writer, long long objects);
