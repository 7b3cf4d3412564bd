#include "app/frontend/PortErrorText.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string UserName(uid_t uid) {
  if (const passwd* pw = getpwuid(uid)) return pw->pw_name;
  return "uid " + std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  if (const group* gr = getgrgid(gid)) return gr->gr_name;
  return "gid " + std::to_string(gid);
}

std::string ModeText(unsigned mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", mode & 07777u);
  return text;
}

std::string PermissionAdvice(const PortAccessFacts& facts) {
  if (!facts.known) return "\nCheck the device's permissions (ls -l) and your group membership.";
  std::string text = "\nYou are " + facts.user + "; the device belongs to " + facts.owner + ", group " +
                     facts.group + ", mode " + ModeText(facts.mode) + ".";
  text += "\nFix: add yourself to that group (sudo usermod -aG " + facts.group + " " + facts.user +
          "), then log in again; on Debian serial ports belong to group dialout.";
  return text;
}

std::string Advice(int error, const PortAccessFacts& facts) {
  switch (error) {
    case EACCES:
    case EPERM:
      return PermissionAdvice(facts);
    case EBUSY:
      return "\nAnother program holds the port (a modem manager, a terminal program, another tobrane-cli); "
             "close it and try again.";
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "\nThe device is not there: check the cable or adapter, and list the ports with 'tobrane-cli "
             "ports'.";
    case ENOTTY:
      return "\nThis path is not a serial device.";
    default:
      return {};
  }
}

}  // namespace

PortAccessFacts GatherPortAccessFacts(const std::string& devicePath) {
  PortAccessFacts facts;
  facts.user = UserName(geteuid());
  struct stat st {};
  if (stat(devicePath.c_str(), &st) != 0) return facts;
  facts.owner = UserName(st.st_uid);
  facts.group = GroupName(st.st_gid);
  facts.mode = static_cast<unsigned>(st.st_mode);
  facts.known = true;
  return facts;
}

std::string DescribePortError(const std::string& devicePath, int error, const PortAccessFacts& facts) {
  std::string text = "Cannot open serial device " + devicePath;
  if (error != 0) text += ": " + std::string(std::strerror(error));
  return text + Advice(error, facts);
}
