#include "CompanionPrograms.h"

#include "CompanionRecord.h"

const CompanionProgram kCompanionPrograms[] = {
    {u"PackageInstaller.exe", &PackageInstallerMain},
    {u"VnService.exe", &VnServiceMain},
    {u"OrvanControl.exe", &OrvanControlMain},
    {u"VnMediaUninstall.exe", &VnMediaUninstallMain},
    {nullptr, nullptr},
};

const CompanionProgram* FindCompanionProgram(std::u16string_view fileName) {
    for (const CompanionProgram* program = kCompanionPrograms; program->fileName; ++program)
        if (VnString::CompareNoCase(program->fileName, fileName) == 0) return program;
    return nullptr;
}

uint32_t RunCompanionProgram(const CompanionProgram& program, const CompanionStart& start) {
    const VnString fileName = program.fileName;
    uint32_t startNumber = RecordCompanionStart(fileName, start.parameters);
    uint32_t exitCode = program.body(start);
    RecordCompanionExit(fileName, startNumber, exitCode);
    return exitCode;
}
