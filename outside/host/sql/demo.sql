-- Demo data of the host shell: one company (KVX001) of a machine-parts maker, its users, factories,
-- production receipts, and the program register entry of the production-receipt report KTVR08.
-- Applied on top of the schema by `kvx-host --create-db FILE --seed outside/host/sql/demo.sql`.

INSERT INTO HOSTINFO VALUES ('VersionType', '2'), ('ProductID', '1');

INSERT INTO MESSAGES VALUES
 ('E', '000001', '查无此资料！%s'),
 ('E', '000005', '日期格式错误，请重新输入！%s'),
 ('E', '000006', '无法连接应用服务器，请检查服务器设置！'),
 ('E', '000013', '作业提交失败：%s'),
 ('E', '000015', '读取注册表失败，找不到客户端设置！'),
 ('E', '000016', '尚未设置应用服务器的主机名称！'),
 ('E', '000030', '取得报表条件失败！%s'),
 ('E', '000036', '本窗口不属于此程序，无法执行！'),
 ('E', '000037', '此栏位必须输入资料！'),
 ('E', '000038', '主程序传入的参数不足，无法执行！'),
 ('E', '100082', '%s不能早于%s！'),
 ('I', '000003', '没有环境设置或选择条件，无法产生作业！'),
 ('I', '000004', '作业已提交：%s'),
 ('I', '000005', '请至少选择一种输出方式！%s'),
 ('I', '000008', '请按 F2 开窗选择正确的代码。'),
 ('I', '000009', '预约日期或时间'),
 ('I', '000010', '格式不正确。'),
 ('I', '000011', '无法取得制表日期。'),
 ('W', '000002', '%s的数量不符：应为 %d 项，实为 %d 项！'),
 ('W', '000003', '%s不完整：共 %d 项，第 %d 项空白！'),
 ('W', '000004', '找不到此代码！%s'),
 ('W', '000014', '主程序传入的条件栏位不存在或不被支持，条件已忽略！'),
 ('R', '100235', '请检查页尾代码。'),
 ('R', '100236', '请检查签核代码。'),
 ('R', '200235', '条件方案开启失败！');

INSERT INTO SYSPARAM VALUES
 ('KVX001', 'Sys001', '1'),
 ('KVX001', 'Sys002', '/'),
 ('KVX001', 'KVX002', '华东精密机械有限公司'),
 ('KVX001', 'SYS007', '按材质分类'),
 ('KVX001', 'SYS008', '按用途分类'),
 ('KVX001', 'SYS009', '按供应商分类'),
 ('KVX001', 'SYS010', '按仓库分类'),
 ('KVX001', 'SYS026', '1'),
 ('KVX001', 'SYS181', 'Y'),
 ('KVX002', 'Sys001', '4'),
 ('KVX002', 'Sys002', '.'),
 ('KVX002', 'KVX002', '华南电子元件厂'),
 ('KVX002', 'SYS026', '2'),
 ('KVX002', 'SYS181', 'N');

INSERT INTO ADMMB VALUES
 ('KTVR08', '生产入库单报表', 'KTV', 'N', 'Y', '870401', '生产管理-报表', 'Production Receipt Report'),
 ('KTVR07', '生产领料单报表', 'KTV', 'N', 'N', '870401', '生产管理-报表', 'Material Issue Report'),
 ('KTVB02', '生产入库单维护', 'KTV', 'Y', 'N', '870401', '生产管理-单据', 'Production Receipt Entry');

INSERT INTO CMSMS VALUES
 ('1', 'F01', '标准页尾', '制表：', '审核：', '核准：'),
 ('1', 'F02', '仓库页尾', '仓管员：', '质检员：', '主管：'),
 ('2', 'S01', '标准签核', '经办人', '部门主管', '厂长'),
 ('2', 'S02', '财务签核', '会计', '财务主管', '总经理');

INSERT INTO CMSMT VALUES
 ('KTVR08', 'F01', 'Y', '标准页尾', '制表：', '审核：', '核准：', 'S01', 'N', '标准签核', '经办人', '部门主管', '厂长');

INSERT INTO CMSMA VALUES ('WebReportSite', 'http://127.0.0.1:8088/webreport');

INSERT INTO CMSMB VALUES
 ('01', '一厂（总装）', '江苏省苏州市工业园区星湖街 88 号'),
 ('02', '二厂（机加工）', '江苏省苏州市吴中区东吴北路 16 号'),
 ('03', '三厂（热处理）', '浙江省嘉兴市南湖区昌盛路 203 号');

INSERT INTO MOCTF VALUES
 ('5801', '20240105001', '20240105', '01', '20240104', 'Y', '齿轮箱总成入库'),
 ('5801', '20240105002', '20240105', '01', '20240105', 'Y', '减速机入库'),
 ('5801', '20240112001', '20240112', '02', '20240111', 'N', '传动轴半成品'),
 ('5802', '20240118001', '20240118', '02', '20240118', 'Y', '法兰盘外协回厂'),
 ('5802', '20240122001', '20240122', '03', '20240120', 'V', '作废：重复录入'),
 ('5801', '20240131001', '20240131', '03', '20240130', 'N', '淬火齿轮入库');

INSERT INTO KVXMA VALUES
 ('DS', '系统管理员', '13800000000', 'admin@example.com'),
 ('ZHANGW', '张伟', '13912345678', 'zhangwei@example.com'),
 ('LIN', '林小红', '13787654321', 'linxh@example.com'),
 ('WANGQ', '王强', '', 'wangq@example.com');

INSERT INTO KVXINTMA VALUES
 ('StartupPortal', '通知人来源：Y 为 Portal 用户', 'N'),
 ('Portal WS', 'Portal Web 服务地址', '');

INSERT INTO GENES VALUES
 ('本月入库', 'DS', 'KTVR08'),
 ('一厂未审核', 'DS', 'KTVR08');

INSERT INTO PHRASES VALUES
 ('DS', 1, '请于月底前完成入库核对'),
 ('DS', 2, '急件，优先处理'),
 ('ZHANGW', 1, '依生产计划入库');

INSERT INTO FILELIST VALUES
 ('ktvr08s.so', '2024-01-15 08:30:00', '\\appserver\kvx\bin\KTVR08S.so');
