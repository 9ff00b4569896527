#pragma once
// A fresh data folder and application folder in a temporary directory, made by the setup logic.

#include "apps/setup/datasetup.h"
#include "platform/db/database.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTemporaryDir>

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        options.appFolder = QDir(tmp.path()).filePath(QStringLiteral("app"));
        // Typed with a trailing separator: Dir.Direccion must still be stored without one.
        options.dataFolder = QDir(tmp.path()).filePath(QStringLiteral("datos/"));
        // The scripts of the source tree, not a copy made by an earlier build.
        options.schemaDir = QDir(QStringLiteral(SCHEMA_TEST_DIR "/../../schema")).absolutePath();
        options.terminal = 3;
        options.sucursal = 1;
        options.demo = withDemo();
        const datasetup::Result r = datasetup::run(options);
        ASSERT_TRUE(r.ok) << r.message.toStdString();
    }
    virtual bool withDemo() const { return false; }

    std::unique_ptr<db::Database> open(const QString& path, const QString& password) {
        db::Error e;
        auto d = db::Database::open(path, password, &e);
        EXPECT_TRUE(d) << path.toStdString() << ": " << e.message.toStdString();
        return d;
    }
    std::unique_ptr<db::Database> central() {
        return open(datasetup::rutaBDCodigos(options.dataFolder), datasetup::claveArchivos());
    }
    std::unique_ptr<db::Database> branch(const QString& shortName = QStringLiteral("Matriz")) {
        return open(datasetup::rutaSucursal(options.dataFolder, shortName), datasetup::claveArchivos());
    }
    static QStringList columnsOf(db::Database& d, const QString& source) {
        QSqlQuery q(d.connection());
        QStringList out;
        if (!q.exec(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(source))) return out;
        const QSqlRecord r = q.record();
        for (int i = 0; i < r.count(); ++i) out << r.fieldName(i);
        return out;
    }
    static qint64 count(db::Database& d, const QString& sql, const QVariantList& params = {}) {
        const auto v = d.scalar(sql, params);
        return v ? v->toLongLong() : -1;
    }

    QTemporaryDir tmp;
    datasetup::Options options;
};
