#pragma once

class TDatos;
class TFinstalacion;
class TestDatabase;

// The program as start-up leaves it: the data module connected to `tdb`, then the window bound
// to it, shown and activated. Answers whether the window became active.
bool arrancar(const TestDatabase &tdb, TFinstalacion &ventana, TDatos &datos);
