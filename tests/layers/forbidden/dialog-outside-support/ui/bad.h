#pragma once
#include <QMessageBox>
