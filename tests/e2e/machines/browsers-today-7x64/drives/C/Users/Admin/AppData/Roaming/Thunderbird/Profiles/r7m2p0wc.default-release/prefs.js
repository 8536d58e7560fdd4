// Mozilla User Preferences

user_pref("mail.root.none", "C:\\Users\\Admin\\AppData\\Roaming\\Thunderbird\\Profiles\\r7m2p0wc.default-release\\Mail");
user_pref("mail.server.server1.hostname", "Local Folders");
