// Mozilla User Preferences

user_pref("browser.download.dir", "C:\\Users\\Admin\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\x1d8k4qe.default-release\\downloads");
user_pref("browser.startup.homepage", "https://example.org/");
