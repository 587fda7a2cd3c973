#pragma once

class TDatos;
class TestDatabase;

// Connects the data module to the test database as start-up does: the login asked for is
// answered with the test user's password.
void connectDataModule(TDatos &datos, const TestDatabase &tdb);
