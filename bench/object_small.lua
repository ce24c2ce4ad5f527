local function run(n)
    local points = {}
    for k = 0, 15 do table.insert(points, {x = k, y = k * 2, z = 1, w = 0}) end
    local check = 0
    for i = 0, n - 1 do
        local p = points[i % 16 + 1]
        p.x = (p.x + p.y + i) % 1000
        p.y = (p.y + p.z) % 777
        p.w = p.x - p.y
        check = math.fmod(check + p.w + p.z, 1000003)
    end
    return check
end
print(run(tonumber(arg[1])))
