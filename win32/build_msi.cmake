# Builds the installer package from installer.wxs and the files beside it,
# in the current folder (win32/CMakeLists.txt stages them):
#   cmake -DWIXL=... -DMSIBUILD=... -DMSIINFO=... -DVERSION=1.2.3.4 -DUPGRADE_CODE=GUID
#         -DSOURCE_DATE_EPOCH=SECONDS -DOUTPUT=NAME.msi -P build_msi.cmake
# The same files, version and time give the same bytes. wixl would draw the
# product and package codes at random and stamp the clock into the summary
# and the files' times into the cabinet: every time is SOURCE_DATE_EPOCH
# instead, and the codes are derived from the version, the files and that
# time, so that a package that differs in any byte has codes of its own (and
# a rebuild of the same version is another product, which the upgrade
# replaces).
cmake_minimum_required(VERSION 3.22)
foreach(var WIXL MSIBUILD MSIINFO VERSION UPGRADE_CODE SOURCE_DATE_EPOCH OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "build_msi.cmake: -D${var}= missing")
  endif()
endforeach()

set(payload installer.wxs tavrino-pcap-converter.exe dt2pcap.exe README.txt LICENSE.txt)
set(content "${VERSION} ${SOURCE_DATE_EPOCH}")
foreach(file IN LISTS payload CMAKE_CURRENT_LIST_FILE)
  file(SHA256 ${file} hash)
  string(APPEND content " ${hash}")
endforeach()
string(UUID product_code NAMESPACE ${UPGRADE_CODE} NAME "ProductCode ${content}" TYPE SHA1 UPPER)
string(UUID package_code NAMESPACE ${UPGRADE_CODE} NAME "PackageCode ${content}" TYPE SHA1 UPPER)

# The cabinet keeps each file's time as local time: in UTC, and the release's.
execute_process(COMMAND touch -d @${SOURCE_DATE_EPOCH} ${payload} COMMAND_ERROR_IS_FATAL ANY)
set(ENV{TZ} UTC0)
file(REMOVE package.msi)
execute_process(COMMAND ${WIXL} -a x64 -D Version=${VERSION} -D ProductCode=${product_code} -o package.msi installer.wxs
                COMMAND_ERROR_IS_FATAL ANY)

# This wixl knows no Environment element: dt2pcap's folder goes on the
# system PATH through a table and two actions added here. At the front:
# wine's msiexec takes an entry at the end away without the ';' before it,
# and our folder holds nothing but our two programs. And since Windows
# Installer ignores a version's fourth field, a package of the same 1.0.0 (a
# rebuild, 1.0.0.1) replaces the installed one too, rather than going in
# beside it: the upgrade search includes its highest version
# (msidbUpgradeAttributesVersionMaxInclusive, which this wixl cannot set).
execute_process(COMMAND ${MSIBUILD} package.msi
  -q "CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
  -q "INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('PathEntry', '=-*PATH', '[INSTALLDIR];[~]', 'CommandLine')"
  -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
  -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
  -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'"
  -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('{${UPGRADE_CODE}}', '${VERSION}', 513, 'WIX_UPGRADE_DETECTED')"
  COMMAND_ERROR_IS_FATAL ANY)

# The summary: the package code and both times (msibuild reads them as local
# time, UTC above).
execute_process(COMMAND ${MSIINFO} export package.msi _SummaryInformation
                OUTPUT_VARIABLE summary COMMAND_ERROR_IS_FATAL ANY)
set(ENV{SOURCE_DATE_EPOCH} ${SOURCE_DATE_EPOCH})
string(TIMESTAMP release_time "%Y/%m/%d %H:%M:%S" UTC)
foreach(row "9\t{${package_code}}" "12\t${release_time}" "13\t${release_time}")
  string(REGEX REPLACE "\t.*" "" id "${row}")
  if(NOT summary MATCHES "\n${id}\t")
    message(FATAL_ERROR "build_msi.cmake: no summary property ${id} to set")
  endif()
  string(REGEX REPLACE "\n${id}\t[^\r\n]*" "\n${row}" summary "${summary}")
endforeach()
file(WRITE _SummaryInformation.idt "${summary}")
execute_process(COMMAND ${MSIBUILD} package.msi -i _SummaryInformation.idt COMMAND_ERROR_IS_FATAL ANY)
file(COPY_FILE package.msi ${OUTPUT})
