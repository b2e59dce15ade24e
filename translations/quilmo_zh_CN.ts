<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>MainWidget</name>
    <message>
        <source>已应用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已保存，但 IBus 未收到</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置已写入设置文件，但 IBus 没有收到新设置（它可能没有运行）。输入法下次启动时会读取新设置。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有需要应用的更改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>常用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>词库</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>高级</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复本页默认设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>应用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入设置文件：%1
原因：%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>墨岚拼音输入法设置</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SaveResult</name>
    <message>
        <source>找不到用户的主目录。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该位置上不是普通文件。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置文件正被其他程序锁定。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入的内容无法完整读回。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置文件过大（超过 16 MiB）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>磁盘空间不足。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件大小超出了系统限制。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有写入权限。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件系统是只读的。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该位置上是一个目录。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>路径中有一部分不是目录。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TabWidgetAbout</name>
    <message>
        <source>版本与授权</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输入法版本: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版权所有 © 2026 墨岚拼音开发组</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>墨岚拼音开发组保留所有权利。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输入法论坛：https://forum.quilmo.example.org/</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>联系我们：support@quilmo.example.org</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TabWidgetBasic</name>
    <message>
        <source>默认状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>隐藏状态栏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>候选词个数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>字词选项</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>字频调整</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>词频调整</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>快速</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>慢速</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TabWidgetSpecial</name>
    <message>
        <source>智能组词</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>i字母开头进入数字单位模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B字母开头进入笔画输入模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>使用自定义短语</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>智能选项</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模式开关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定义短语</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定义短语显示位置</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TabWidgetWordLib</name>
    <message>
        <source>这个词库总是启用，不能取消。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件名中含有分号（;），无法启用这个词库。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除自己添加的词库；系统词库和 user.qlb 不能删除。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>作者</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>词条</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>词库列表</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>词库文件名中不能含有分号（;）！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拷贝词库文件失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该词库已经在词库列表中！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>词库目录存在同名文件，无法创建！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>非法的词库文件！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开词库文件失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择词库</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>词库文件 (*.qlb)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法删除词库文件！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除词库</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定要删除词库“%1”吗？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件：%1
确定或应用后，这个文件将被删除。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
