s = "a\"" .. "‚ \\"
print(s)
